#include "tools/plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "graphics/linux/swell_gdi.h"
#include "lice/lice_fill.h"
#include "lice/lice_line.h"
#include "lice/lice_png.h"
#include "lice/lice_text.h"
#include "tools/spectrum.h"

namespace {
constexpr int kWidth = 1400, kHeight = 1080;
constexpr double kLowHz = 20.0, kHighHz = 20000.0;
constexpr int kCopy = 0;  // the raster library's plain copy mode

const LICE_pixel kBackground = LICE_RGBA(250, 250, 250, 255);
const LICE_pixel kPanel = LICE_RGBA(255, 255, 255, 255);
const LICE_pixel kGrid = LICE_RGBA(228, 228, 228, 255);
const LICE_pixel kAxis = LICE_RGBA(120, 120, 120, 255);
const LICE_pixel kText = LICE_RGBA(40, 40, 40, 255);
const LICE_pixel kInput = LICE_RGBA(110, 140, 190, 255);
const LICE_pixel kOutput = LICE_RGBA(220, 100, 30, 255);
const LICE_pixel kBandColours[] = {LICE_RGBA(200, 40, 40, 255), LICE_RGBA(230, 150, 0, 255),
                                   LICE_RGBA(40, 160, 60, 255), LICE_RGBA(30, 110, 210, 255),
                                   LICE_RGBA(140, 60, 180, 255)};

// A font of the text layer at a pixel size.
class Font {
public:
  Font(int size, bool bold) {
    HFONT native = CreateFont(-size, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0, "DejaVu Sans");
    if (native) mFont.SetFromHFont(native, LICE_FONT_FLAG_OWNS_HFONT);
    mOk = native != nullptr;
  }
  // Draws text with its anchor: align DT_LEFT, DT_CENTER or DT_RIGHT at x,
  // vertically centred on y.
  void Draw(LICE_IBitmap* bm, const std::string& text, int x, int y, unsigned align, LICE_pixel colour) {
    if (!mOk) return;
    mFont.SetTextColor(colour);
    RECT r{x - 600, y - 40, x + 600, y + 40};
    if (align == DT_LEFT) r.left = x;
    if (align == DT_RIGHT) r.right = x;
    mFont.DrawText(bm, text.c_str(), -1, &r, align | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  }
  bool Ok() const { return mOk; }

private:
  LICE_CachedFont mFont;
  bool mOk = false;
};

struct Panel {
  int left, top, right, bottom;
  double xLo, xHi;  // log frequency, or linear time
  bool logX;
  double yLo, yHi;
  int X(double v) const {
    const double t = logX ? std::log(v / xLo) / std::log(xHi / xLo) : (v - xLo) / (xHi - xLo);
    return left + static_cast<int>(std::lround(t * (right - left)));
  }
  int Y(double v) const {
    const double t = (std::clamp(v, yLo, yHi) - yLo) / (yHi - yLo);
    return bottom - static_cast<int>(std::lround(t * (bottom - top)));
  }
  double XValue(double px) const {
    const double t = (px - left) / (right - left);
    return logX ? xLo * std::pow(xHi / xLo, t) : xLo + t * (xHi - xLo);
  }
};

std::string Format(const char* pattern, double v) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, v);
  return text;
}

std::string HzLabel(double hz) { return hz >= 1000.0 ? Format("%gk", hz / 1000.0) : Format("%g", hz); }

void Rect(LICE_IBitmap* bm, int l, int t, int r, int b, LICE_pixel colour) {
  LICE_Line(bm, l, t, r, t, colour, 1.0f, kCopy, false);
  LICE_Line(bm, l, b, r, b, colour, 1.0f, kCopy, false);
  LICE_Line(bm, l, t, l, b, colour, 1.0f, kCopy, false);
  LICE_Line(bm, r, t, r, b, colour, 1.0f, kCopy, false);
}

// Panel, grid, ticks, labels; yStep in dB.
void DrawFrame(LICE_IBitmap* bm, Font& font, Font& heading, const Panel& p, const std::string& title,
               const std::string& yUnit, double yStep, const std::string& xUnit) {
  LICE_FillRect(bm, p.left, p.top, p.right - p.left, p.bottom - p.top, kPanel, 1.0f, kCopy);
  heading.Draw(bm, title, p.left, p.top - 18, DT_LEFT, kText);
  for (double v = std::ceil(p.yLo / yStep) * yStep; v <= p.yHi + 1e-9; v += yStep) {
    const int y = p.Y(v);
    LICE_Line(bm, p.left, y, p.right, y, v == 0.0 ? kAxis : kGrid, 1.0f, kCopy, false);
    LICE_Line(bm, p.left - 5, y, p.left, y, kAxis, 1.0f, kCopy, false);
    font.Draw(bm, Format(v > 0 ? "+%g" : "%g", v), p.left - 8, y, DT_RIGHT, kText);
  }
  font.Draw(bm, yUnit, p.left - 8, p.top - 18, DT_RIGHT, kText);
  if (p.logX) {
    const double majors[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
    for (double decade = 10; decade <= 10000; decade *= 10)
      for (int m = 2; m <= 9; ++m) {
        const double f = decade * m;
        if (f < kLowHz || f > kHighHz) continue;
        LICE_Line(bm, p.X(f), p.top, p.X(f), p.bottom, kGrid, 0.6f, kCopy, false);
      }
    for (double f : majors) {
      const int x = p.X(f);
      LICE_Line(bm, x, p.top, x, p.bottom, kGrid, 1.0f, kCopy, false);
      LICE_Line(bm, x, p.bottom, x, p.bottom + 5, kAxis, 1.0f, kCopy, false);
      font.Draw(bm, HzLabel(f), x, p.bottom + 16, DT_CENTER, kText);
    }
  } else {
    const double span = p.xHi - p.xLo;
    const double step = span > 60 ? 10 : span > 20 ? 5 : span > 8 ? 2 : span > 3 ? 1 : span > 1 ? 0.5 : 0.1;
    for (double t = 0; t <= p.xHi + 1e-9; t += step) {
      const int x = p.X(t);
      LICE_Line(bm, x, p.top, x, p.bottom, kGrid, 1.0f, kCopy, false);
      LICE_Line(bm, x, p.bottom, x, p.bottom + 5, kAxis, 1.0f, kCopy, false);
      font.Draw(bm, Format("%g", t), x, p.bottom + 16, DT_CENTER, kText);
    }
  }
  font.Draw(bm, xUnit, p.right, p.bottom + 34, DT_RIGHT, kText);
  Rect(bm, p.left, p.top, p.right, p.bottom, kAxis);
}

// A polyline that breaks where a value is not finite.
void Curve(LICE_IBitmap* bm, const Panel& p, const std::vector<std::pair<double, double>>& points, LICE_pixel colour,
           float alpha = 1.0f) {
  for (size_t i = 1; i < points.size(); ++i) {
    const auto& a = points[i - 1];
    const auto& b = points[i];
    if (!std::isfinite(a.second) || !std::isfinite(b.second)) continue;
    LICE_FLine(bm, static_cast<float>(p.X(a.first)), static_cast<float>(p.Y(a.second)),
               static_cast<float>(p.X(b.first)), static_cast<float>(p.Y(b.second)), colour, alpha, kCopy, true);
  }
}

void LegendEntry(LICE_IBitmap* bm, Font& font, int x, int y, LICE_pixel colour, const std::string& text) {
  LICE_FillRect(bm, x, y - 2, 22, 4, colour, 1.0f, kCopy);
  font.Draw(bm, text, x + 28, y, DT_LEFT, kText);
}

// dB of the 1/6-octave band around each pixel column.
std::vector<std::pair<double, double>> SmoothedCurve(const Panel& p, const Spectrum& s) {
  std::vector<std::pair<double, double>> points;
  for (int x = p.left; x <= p.right; ++x) {
    const double f = p.XValue(x);
    points.emplace_back(f, s.BandDb(f * std::pow(2.0, -1.0 / 12), f * std::pow(2.0, 1.0 / 12)));
  }
  return points;
}
}  // namespace

bool WritePlot(const std::string& path, const std::string& title, const Audio& input, const Audio& output,
               const std::vector<PlotBand>& bands, std::string& error) {
  auto bm = std::make_unique<LICE_MemBitmap>(kWidth, kHeight);
  LICE_Clear(bm.get(), kBackground);
  Font font(13, false), heading(15, true), big(19, true);
  if (!font.Ok()) {
    error = "cannot draw plot '" + path + "': no font (install fonts-dejavu-core)";
    return false;
  }
  big.Draw(bm.get(), title, 80, 24, DT_LEFT, kText);

  // Spectra: the top 90 dB below the loudest smoothed level.
  const Spectrum in = LongTermSpectrum(input), out = LongTermSpectrum(output);
  Panel spectra{80, 80, kWidth - 40, 440, kLowHz, kHighHz, true, -90, 0};
  const auto inCurve = SmoothedCurve(spectra, in), outCurve = SmoothedCurve(spectra, out);
  double top = -200;
  for (const auto* curve : {&inCurve, &outCurve})
    for (const auto& point : *curve)
      if (std::isfinite(point.second)) top = std::max(top, point.second);
  spectra.yHi = std::ceil((top + 3) / 10.0) * 10.0;
  spectra.yLo = spectra.yHi - 90.0;
  DrawFrame(bm.get(), font, heading, spectra, "Long-term spectrum (1/6-octave smoothed)", "dB", 10, "Hz");
  Curve(bm.get(), spectra, inCurve, kInput);
  Curve(bm.get(), spectra, outCurve, kOutput);
  // Where each band sits, in its colour.
  for (size_t b = 0; b < bands.size(); ++b) {
    const int x = spectra.X(bands[b].frequency);
    LICE_Line(bm.get(), x, spectra.top + 1, x, spectra.bottom - 1, kBandColours[b % 5], 0.35f, kCopy, false);
    font.Draw(bm.get(), bands[b].name, x + 4, spectra.bottom - 12 - 16 * static_cast<int>(b % 2), DT_LEFT,
              kBandColours[b % 5]);
  }
  LegendEntry(bm.get(), font, spectra.right - 220, spectra.top + 20, kInput, "input");
  LegendEntry(bm.get(), font, spectra.right - 120, spectra.top + 20, kOutput, "output");

  // Difference, symmetric around 0 dB and at least ±6 dB.
  std::vector<std::pair<double, double>> diff;
  double most = 6.0;
  for (size_t i = 0; i < inCurve.size(); ++i) {
    const double d = outCurve[i].second - inCurve[i].second;
    diff.emplace_back(inCurve[i].first, d);
    if (std::isfinite(d) && inCurve[i].second > spectra.yLo) most = std::max(most, std::fabs(d));
  }
  const double diffSpan = std::min(48.0, std::ceil(most / 3.0) * 3.0);
  Panel difference{80, 510, kWidth - 40, 690, kLowHz, kHighHz, true, -diffSpan, diffSpan};
  DrawFrame(bm.get(), font, heading, difference, "Output less input", "dB", diffSpan > 12 ? 6 : 3, "Hz");
  Curve(bm.get(), difference, diff, kOutput);

  // Per-band level change over time.
  std::vector<BandTrack> tracks;
  double worst = 6.0;
  for (const PlotBand& band : bands) {
    tracks.push_back(TrackBandChange(input, output, band.frequency));
    for (double v : tracks.back().changeDb)
      if (std::isfinite(v)) worst = std::max(worst, std::fabs(v));
  }
  const double bandSpan = std::min(48.0, std::ceil(worst / 3.0) * 3.0);
  Panel change{80, 760, kWidth - 40, 1010, 0.0, std::max(input.Seconds(), 0.1), false, -bandSpan, bandSpan};
  DrawFrame(bm.get(), font, heading, change, "Level change per band over time (output less input, band-pass at each band's frequency)",
            "dB", bandSpan > 12 ? 6 : 3, "seconds");
  int legendX = change.left + 10;
  for (size_t b = 0; b < tracks.size(); ++b) {
    const LICE_pixel colour = kBandColours[b % 5];
    std::vector<std::pair<double, double>> points;
    for (size_t i = 0; i < tracks[b].changeDb.size(); ++i)
      points.emplace_back((static_cast<double>(i) + 0.5) * tracks[b].hopSeconds, tracks[b].changeDb[i]);
    Curve(bm.get(), change, points, colour);
    const std::string label = bands[b].name + " " + HzLabel(std::round(bands[b].frequency)) + " Hz";
    LegendEntry(bm.get(), font, legendX, change.top + 16, colour, label);
    legendX += 40 + static_cast<int>(label.size()) * 8;
  }

  return WriteThroughTempName(path, [&](const std::string& temp) { return LICE_WritePNG(temp.c_str(), bm.get()); },
                              error);
}
