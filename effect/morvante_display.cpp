#include "effect/morvante_display.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "effect/morvante.h"
#include "framework/iparam.h"
#include "graphics/controls/itext_control.h"
#include "graphics/editor_scale.h"
#include "graphics/igraphics.h"
#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice/lice_soft_shapes.h"
#include "lice/lice_sysbitmap.h"

namespace {

constexpr LICE_pixel Rgb(unsigned r, unsigned g, unsigned b) { return 0xff000000u | (r << 16) | (g << 8) | b; }

// The panel's palette, darker for a screen that carries curves.
constexpr LICE_pixel kStripTop = Rgb(0x16, 0x18, 0x1b);
constexpr LICE_pixel kStripBottom = Rgb(0x0b, 0x0c, 0x0e);
constexpr LICE_pixel kStripEdge = Rgb(0x34, 0x38, 0x3e);
constexpr LICE_pixel kGrid = Rgb(0x22, 0x25, 0x2a);
constexpr LICE_pixel kGridZero = Rgb(0x3a, 0x3f, 0x46);
constexpr LICE_pixel kInputSpectrum = Rgb(0x85, 0x8b, 0x94);
constexpr LICE_pixel kOutputSpectrum = Rgb(0x3c, 0xc8, 0xdc);
constexpr LICE_pixel kStaticCurve = Rgb(0xc2, 0xc6, 0xcc);
constexpr LICE_pixel kDynamicCurve = Rgb(0xf4, 0xf5, 0xf7);
constexpr LICE_pixel kHandleRim = Rgb(0x0b, 0x0c, 0x0e);
const IColor kLabelColour(255, 0x6c, 0x72, 0x7c);
const IColor kHandleText(255, 0x10, 0x11, 0x14);

// Indexed by EMorvanteBand; warm for the lows, cool for the highs.
constexpr LICE_pixel kBandColours[kNumMorvanteBands] = {
    Rgb(0x86, 0x9e, 0xf5),  // High
    Rgb(0x4e, 0xc9, 0xb0),  // High Mid
    Rgb(0xf0, 0x6a, 0x5a),  // Low
    Rgb(0xf2, 0xa3, 0x3a),  // Low Mid
    Rgb(0xc8, 0xd4, 0x5a),  // Mid
};
// The fill's parts from the static curve down, in the order the response
// takes them.
constexpr const int (&kFillOrder)[kNumMorvanteBands] = MorvanteResponse::kPartOrder;
// The handles' numbers count the bands from the lowest.
constexpr const char* kHandleNumbers[kNumMorvanteBands] = {"5", "4", "1", "2", "3"};

constexpr double kFrequencyLines[] = {50, 100, 200, 500, 1000, 2000, 5000, 10000};
constexpr const char* kFrequencyLabels[] = {"50", "100", "200", "500", "1k", "2k", "5k", "10k"};
constexpr double kDBLineStep = 6.0;
// The spectra's scale: their levels (dB, see MorvanteAnalyser) from the
// plot's bottom to its top.
constexpr double kSpectrumBottomDB = -96.0, kSpectrumTopDB = 0.0;
constexpr float kHandleRadius = 9.0f;
constexpr float kHandleGrab = 12.0f;
// Points of the curves from 20 Hz to 20 kHz, every two editor pixels.
constexpr int kCurvePoints = 600;

IText LabelStyle(IText::EAlign align) {
  return IText(10, kLabelColour, "Helvetica", IText::kStyleNormal, align, 0, IText::kQualityAntiAliased);
}

// d toward c by w / 256, red and blue in one product, green in another.
inline LICE_pixel Mix(LICE_pixel d, LICE_pixel c, uint32_t w) {
  const uint32_t rest = 256 - w;
  const uint32_t rb = (((d & 0xff00ffu) * rest + (c & 0xff00ffu) * w) >> 8) & 0xff00ffu;
  const uint32_t g = (((d & 0x00ff00u) * rest + (c & 0x00ff00u) * w) >> 8) & 0x00ff00u;
  return 0xff000000u | rb | g;
}
inline uint32_t Weight(float a) { return static_cast<uint32_t>(std::min(std::max(a, 0.0f), 1.0f) * 256.0f + 0.5f); }

// Column x from top to bottom (continuous rows: row r covers [r, r + 1)),
// the end rows as far as they are covered, within rows [clipTop, clipBottom).
void FillSpan(LICE_IBitmap* bm, int x, float top, float bottom, LICE_pixel c, float a, int clipTop, int clipBottom) {
  top = std::max(top, static_cast<float>(std::max(clipTop, 0)));
  bottom = std::min(bottom, static_cast<float>(std::min(clipBottom, bm->getHeight())));
  if (x < 0 || x >= bm->getWidth() || !(bottom > top)) return;
  const int span = bm->getRowSpan();
  LICE_pixel* column = bm->getBits() + x;
  const int first = static_cast<int>(top), last = static_cast<int>(std::ceil(bottom)) - 1;
  LICE_pixel* p = column + first * span;
  if (first == last) {
    *p = Mix(*p, c, Weight(a * (bottom - top)));
    return;
  }
  *p = Mix(*p, c, Weight(a * (first + 1 - top)));
  const uint32_t w = Weight(a);
  for (int r = first + 1; r < last; ++r) {
    p += span;
    *p = Mix(*p, c, w);
  }
  p += span;
  *p = Mix(*p, c, Weight(a * (bottom - last)));
}

// A curve of width w through one value per column: each column covers the
// curve from halfway to its left neighbour to halfway to its right one.
void StrokeCurve(LICE_IBitmap* bm, const IRECT& plot, const std::vector<float>& y, float w, LICE_pixel c, float a) {
  const int n = static_cast<int>(y.size());
  for (int i = 0; i < n; ++i) {
    const float left = 0.5f * (y[i] + y[std::max(i - 1, 0)]);
    const float right = 0.5f * (y[i] + y[std::min(i + 1, n - 1)]);
    const float lo = std::min(y[i], std::min(left, right)), hi = std::max(y[i], std::max(left, right));
    FillSpan(bm, plot.L + i, lo - 0.5f * w, hi + 0.5f * w, c, a, plot.T, plot.B);
  }
}

}  // namespace

MorvanteDisplay::MorvanteDisplay(MORVANTE* plug, IRECT rect)
    : IControl(plug, rect), mMorvante(plug), mSettings(MorvanteResponseSettings::Of(*plug)) {
  // The curves are smooth at a few editor pixels; the columns between
  // their points are interpolated, at any scale.
  std::vector<double> hz(kCurvePoints);
  for (int j = 0; j < kCurvePoints; ++j) hz[j] = kLowestHz * std::pow(kHighestHz / kLowestHz, j / (kCurvePoints - 1.0));
  mResponse.SetAxis(hz);
  mResponse.SetSettings(mSettings);
  // Closed until shown: an editor that never opens its display costs no
  // rings and no analysis.
  IControl::Hide(true);
}

MorvanteDisplay::~MorvanteDisplay() {
  EndDrag();
  CloseFeed();
}

LICE_pixel MorvanteDisplay::BandColour(int band) { return kBandColours[band]; }

void MorvanteDisplay::OpenFeed() {
  if (mFeedOpen) return;
  mFeedOpen = true;
  mMorvante->DisplayFeed().Open();
  MakeAnalysers();
}

void MorvanteDisplay::CloseFeed() {
  if (!mFeedOpen) return;
  mFeedOpen = false;
  mMorvante->DisplayFeed().Close();
  mInputSpectrum.reset();
  mOutputSpectrum.reset();
}

void MorvanteDisplay::MakeAnalysers() {
  mAnalysersRate = mMorvante->GetSampleRate();
  mInputSpectrum = std::make_unique<MorvanteAnalyser>(mAnalysersRate, MorvanteDisplayFeed::kRingCapacity);
  mOutputSpectrum = std::make_unique<MorvanteAnalyser>(mAnalysersRate, MorvanteDisplayFeed::kRingCapacity);
  mInputSpectrum->SetAxis(mAxisHz);
  mOutputSpectrum->SetAxis(mAxisHz);
}

void MorvanteDisplay::Hide(bool hide) {
  if (hide) {
    EndDrag();
    CloseFeed();
  } else {
    OpenFeed();
  }
  IControl::Hide(hide);
}

IRECT MorvanteDisplay::PlotRect() const { return IRECT(mRECT.L + 40, mRECT.T + 12, mRECT.R - 16, mRECT.B - 22); }

float MorvanteDisplay::XOfHz(double hz) const {
  const IRECT plot = PlotRect();
  return static_cast<float>(plot.L + plot.W() * std::log(hz / kLowestHz) / std::log(kHighestHz / kLowestHz));
}

float MorvanteDisplay::YOfDB(double dB) const {
  const IRECT plot = PlotRect();
  return static_cast<float>(plot.T + plot.H() * (kRangeDB - dB) / (2.0 * kRangeDB));
}

void MorvanteDisplay::HandleCentre(int band, float* x, float* y) const {
  const MorvanteResponseSettings::Band& b = mSettings.bands[band];
  *x = XOfHz(b.frequency);
  *y = YOfDB(b.gain);
}

// ---- The timer's work ----

bool MorvanteDisplay::FitAxis(int scalePercent) {
  if (scalePercent == mAxisPercent) return false;
  mAxisPercent = scalePercent;
  // The spectra are analysed per editor pixel, at any scale; the device
  // columns between are interpolated.
  const int n = PlotRect().W();
  mAxisHz.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) mAxisHz[i] = kLowestHz * std::pow(kHighestHz / kLowestHz, (i + 0.5) / n);
  if (mInputSpectrum) {
    mInputSpectrum->SetAxis(mAxisHz);
    mOutputSpectrum->SetAxis(mAxisHz);
  }
  return true;
}

bool MorvanteDisplay::Refresh(double idleSeconds) {
  IGraphics* gui = GetGUI();
  bool changed = FitAxis(gui ? gui->ScalePercent() : 100);
  const MorvanteResponseSettings settings = MorvanteResponseSettings::Of(*mMorvante);
  if (settings != mSettings) {
    mSettings = settings;
    mResponse.SetSettings(settings);
    mResponse.SetGainStates(mGainStates);
    changed = true;
  }
  if (!mFeedOpen) return changed;

  const MorvanteDisplayFeed& feed = mMorvante->DisplayFeed();
  // A reduction that moved by less than a hundredth of a dB moves no pixel.
  bool moved = false;
  double states[kNumMorvanteBands];
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    states[b] = feed.GainState(b);
    moved = moved || std::fabs(states[b] - mGainStates[b]) * MORVANTE::kDynamicRangeDB > 0.01;
  }
  if (moved) {
    std::copy(states, states + kNumMorvanteBands, mGainStates);
    mResponse.SetGainStates(mGainStates);
  }
  changed = changed || moved;

  if (mMorvante->GetSampleRate() != mAnalysersRate) MakeAnalysers();
  if (const SampleRing<float>* input = feed.Input()) changed = mInputSpectrum->Update(*input, idleSeconds) || changed;
  if (const SampleRing<float>* output = feed.Output()) changed = mOutputSpectrum->Update(*output, idleSeconds) || changed;
  return changed;
}

void MorvanteDisplay::OnGUIIdle() {
  if (IsHidden()) return;
  IGraphics* gui = GetGUI();
  const double frame = 1.0 / (gui && gui->FPS() > 0 ? gui->FPS() : DEFAULT_FPS);
  if (Refresh(frame)) SetDirty(false);
}

// ---- Drawing ----

void MorvanteDisplay::DrawLayer(IGraphics* graphics) {
  LICE_IBitmap* bm = graphics->GetDrawBitmap();
  const int p = graphics->ScalePercent();
  const IRECT strip = ScaleRect(mRECT, p);
  const IRECT plot = ScaleRect(PlotRect(), p);
  const int line = ScaleEdge(1, p);
  mGridColumn.assign(static_cast<size_t>(plot.W()), 0);
  LICE_GradientRect(bm, strip.L, strip.T, strip.W(), strip.H(), kStripTop, kStripBottom, 1.0f, 0);
  LICE_FillRect(bm, strip.L, strip.T, strip.W(), line, kStripEdge, 1.0f, 0);

  for (double dB = -kRangeDB; dB <= kRangeDB; dB += kDBLineStep) {
    const int y = static_cast<int>(std::lround(YOfDB(dB) * p / 100.0)) - line / 2;
    LICE_FillRect(bm, plot.L, y, plot.W(), line, dB == 0.0 ? kGridZero : kGrid, 1.0f, 0);
    if (std::fmod(dB, 2 * kDBLineStep) != 0.0) continue;
    char text[8];
    std::snprintf(text, sizeof text, dB > 0 ? "+%.0f" : "%.0f", dB);
    IText style = LabelStyle(IText::kAlignFar);
    const int ey = static_cast<int>(YOfDB(dB));
    IRECT where(mRECT.L + 4, ey - 6, PlotRect().L - 6, ey + 6);
    graphics->DrawIText(&style, text, &where);
  }
  for (size_t i = 0; i < sizeof kFrequencyLines / sizeof kFrequencyLines[0]; ++i) {
    const float ex = XOfHz(kFrequencyLines[i]);
    const int x = static_cast<int>(std::lround(ex * p / 100.0)) - line / 2;
    LICE_FillRect(bm, x, plot.T, line, plot.H(), kGrid, 1.0f, 0);
    for (int k = 0; k < line; ++k) mGridColumn[static_cast<size_t>(x + k - plot.L)] = 1;
    IText style = LabelStyle(IText::kAlignCenter);
    const int cx = static_cast<int>(ex);
    IRECT where(cx - 20, PlotRect().B + 5, cx + 20, PlotRect().B + 17);
    graphics->DrawIText(&style, kFrequencyLabels[i], &where);
  }
}

// Inside the plot every pixel of the layer is its row's background or, in
// a grid column, its row's grid colour; with two spectra and a fill over
// them each pixel is one of a few colours per row, looked up rather than
// blended, so a frame writes each pixel once and reads little.
void MorvanteDisplay::ComposeStrip(LICE_IBitmap* bm, const IRECT& strip, const IRECT& plot) {
  const int n = plot.W();
  // The spectra's tops (rows from which a column is fully under them).
  const MorvanteAnalyser* spectra[2] = {mInputSpectrum.get(), mOutputSpectrum.get()};
  for (int s = 0; s < 2; ++s) {
    mSpectrumTop[s].assign(static_cast<size_t>(n), static_cast<float>(plot.B));
    mSpectrumFrom[s].assign(static_cast<size_t>(n), plot.B);
    if (!spectra[s]) continue;
    const std::vector<double>& level = spectra[s]->LevelDB();
    const int m = static_cast<int>(level.size());
    if (m == 0) continue;
    for (int i = 0; i < n; ++i) {
      // Device column i's centre among the editor pixels' levels.
      const double u = std::min(std::max((i + 0.5) * m / n - 0.5, 0.0), m - 1.0);
      const int j = std::min(static_cast<int>(u), m - 2 < 0 ? 0 : m - 2);
      const double dB = m > 1 ? level[j] + (u - j) * (level[j + 1] - level[j]) : level[0];
      const double t = (kSpectrumTopDB - dB) / (kSpectrumTopDB - kSpectrumBottomDB);
      mSpectrumTop[s][i] = static_cast<float>(plot.T + plot.H() * std::min(std::max(t, 0.0), 1.0));
      mSpectrumFrom[s][i] = static_cast<int>(std::ceil(mSpectrumTop[s][i]));
    }
  }
  const LICE_pixel tints[2] = {kInputSpectrum, kOutputSpectrum};
  const uint32_t tintWeights[2] = {Weight(0.16f), Weight(0.13f)};
  const uint32_t fillWeight = Weight(0.6f);
  static_assert(kNumMorvanteBands == 5, "the fill's parts are counted from four inner edges");
  const int span = bm->getRowSpan(), layerSpan = mLayer.getRowSpan();
  const size_t rowBytes = sizeof(LICE_pixel) * static_cast<size_t>(strip.W());
  const size_t gridSample = static_cast<size_t>(
      std::find(mGridColumn.begin(), mGridColumn.end(), 1) - mGridColumn.begin());
  // Rows above every spectrum and fill are the layer's.
  int firstBusy = plot.B;
  for (int i = 0; i < n; ++i) {
    const int* edge = mFillRows[static_cast<size_t>(i)].edges;
    firstBusy = std::min({firstBusy, mSpectrumFrom[0][i] - 1, mSpectrumFrom[1][i] - 1,
                          edge[kNumMorvanteBands] > edge[0] ? edge[0] : plot.B});
  }
  // A column's colour code (its state, bits 0..2: a grid column, under the
  // input spectrum, under the output's; above it the fill's part, 0 for
  // none) changes only at the few rows where one of its edges lies, so the
  // codes are kept per column and brought up to date at those rows alone.
  const int busyFrom = std::max(plot.T, firstBusy);
  const uint8_t* grid = mGridColumn.data();
  auto codeAt = [&](int i, int y) {
    const int* edge = mFillRows[static_cast<size_t>(i)].edges;
    const int state = grid[i] | (y >= mSpectrumFrom[0][i]) << 1 | (y >= mSpectrumFrom[1][i]) << 2;
    // Few rows lie in a column's fill; its parts' edges only go down.
    const int part = static_cast<unsigned>(y - edge[0]) < static_cast<unsigned>(edge[kNumMorvanteBands] - edge[0])
                         ? 1 + (y >= edge[1]) + (y >= edge[2]) + (y >= edge[3]) + (y >= edge[4])
                         : 0;
    return static_cast<uint8_t>(state | part << 3);
  };
  // The columns whose code changes at each row, bucketed by row.
  const int rows = std::max(plot.B - busyFrom, 0);
  mChangesFrom.assign(static_cast<size_t>(rows) + 1, 0);
  auto eachChange = [&](auto&& visit) {
    for (int i = 0; i < n; ++i) {
      const int* edge = mFillRows[static_cast<size_t>(i)].edges;
      const int at[] = {mSpectrumFrom[0][i], mSpectrumFrom[1][i], edge[0], edge[1], edge[2], edge[3], edge[4], edge[5]};
      for (int y : at)
        if (y > busyFrom && y < plot.B) visit(y - busyFrom, i);
    }
  };
  eachChange([&](int r, int) { ++mChangesFrom[static_cast<size_t>(r)]; });
  for (int r = 0, sum = 0; r <= rows; ++r) {
    const int count = mChangesFrom[static_cast<size_t>(r)];
    mChangesFrom[static_cast<size_t>(r)] = sum;
    sum += count;
  }
  mChangedColumns.resize(static_cast<size_t>(mChangesFrom[static_cast<size_t>(rows)]));
  mChangesAt.assign(mChangesFrom.begin(), mChangesFrom.end());
  eachChange([&](int r, int i) { mChangedColumns[static_cast<size_t>(mChangesAt[static_cast<size_t>(r)]++)] = i; });
  mColumnCodes.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) mColumnCodes[static_cast<size_t>(i)] = codeAt(i, busyFrom);

  for (int y = strip.T; y < strip.B; ++y) {
    LICE_pixel* row = bm->getBits() + y * span;
    const LICE_pixel* layer = mLayer.getBits() + (y - strip.T) * layerSpan - strip.L;
    if (y < busyFrom || y >= plot.B) {
      std::memcpy(row + strip.L, layer + strip.L, rowBytes);
      continue;
    }
    // The margins beside the plot; the plot below.
    std::memcpy(row + strip.L, layer + strip.L, sizeof(LICE_pixel) * static_cast<size_t>(plot.L - strip.L));
    std::memcpy(row + plot.R, layer + plot.R, sizeof(LICE_pixel) * static_cast<size_t>(strip.R - plot.R));
    // This row's colour per code.
    LICE_pixel colours[8 * (kNumMorvanteBands + 1)];
    colours[0] = layer[plot.L];
    colours[1] = gridSample < mGridColumn.size() ? layer[plot.L + static_cast<int>(gridSample)] : colours[0];
    for (int state = 2; state < 8; ++state) {
      colours[state] = colours[state & 1];
      if (state & 2) colours[state] = Mix(colours[state], tints[0], tintWeights[0]);
      if (state & 4) colours[state] = Mix(colours[state], tints[1], tintWeights[1]);
    }
    for (int b = 0; b < kNumMorvanteBands; ++b)
      for (int state = 0; state < 8; ++state)
        colours[8 * (b + 1) + state] = Mix(colours[state], kBandColours[kFillOrder[b]], fillWeight);
    const size_t r = static_cast<size_t>(y - busyFrom);
    for (int c = mChangesFrom[r]; c < mChangesFrom[r + 1]; ++c) {
      const int i = mChangedColumns[static_cast<size_t>(c)];
      mColumnCodes[static_cast<size_t>(i)] = codeAt(i, y);
    }
    LICE_pixel* out = row + plot.L;
    const uint8_t* code = mColumnCodes.data();
    for (int i = 0; i < n; ++i) out[i] = colours[code[i]];
  }
  // Each spectrum's top row, as far as it is covered.
  for (int s = 0; s < 2 && spectra[s]; ++s) {
    for (int i = 0; i < n; ++i) {
      const int y = mSpectrumFrom[s][i] - 1;
      const float cover = mSpectrumFrom[s][i] - mSpectrumTop[s][i];
      if (y < plot.T || cover <= 0.0f) continue;
      LICE_pixel* p = bm->getBits() + y * span + plot.L + i;
      *p = Mix(*p, tints[s], Weight(cover * (s == 0 ? 0.16f : 0.13f)));
    }
  }
  if (spectra[1]) StrokeCurve(bm, plot, mSpectrumTop[1], 1.0f, kOutputSpectrum, 0.45f);
}

void MorvanteDisplay::LayOutCurves(const IRECT& plot) {
  const float k = static_cast<float>(plot.H()) / static_cast<float>(2.0 * kRangeDB);
  auto yOf = [&](double dB) { return static_cast<float>(plot.T + k * (kRangeDB - dB)); };
  const size_t n = static_cast<size_t>(plot.W());
  mStaticY.resize(n);
  mDynamicY.resize(n);
  mFillRows.resize(n);
  for (size_t i = 0; i < n; ++i) {
    // Column i's centre among the curves' points (the same log axis).
    const double u = (i + 0.5) / n * (kCurvePoints - 1);
    const size_t j = std::min(static_cast<size_t>(u), static_cast<size_t>(kCurvePoints - 2));
    const double t = u - j;
    auto at = [&](const std::vector<double>& v) { return v[j] + t * (v[j + 1] - v[j]); };
    const double staticDB = at(mResponse.StaticDB());
    mStaticY[i] = yOf(staticDB);
    mDynamicY[i] = yOf(at(mResponse.DynamicDB()));
    // Each band's part stacked down from the static curve (a reduction is
    // never a gain); ComposeStrip fills them.
    double to = staticDB;
    int* edge = mFillRows[i].edges;
    edge[0] = static_cast<int>(std::lround(mStaticY[i]));
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      to += std::min(at(mResponse.BandChangeDB(kFillOrder[b])), 0.0);
      edge[b + 1] = static_cast<int>(std::lround(yOf(to)));
    }
  }
}

// The handles' discs with their rims, drawn once per scale with their
// edges' coverage in the alpha channel.
void MorvanteDisplay::MakeHandleImages(int scalePercent) {
  const float k = static_cast<float>(scalePercent) / 100.0f;
  const float r = kHandleRadius * k, rim = r + 1.5f * k;
  const int size = static_cast<int>(std::ceil(2.0f * rim)) + 3;
  const float centre = 0.5f * static_cast<float>(size - 1);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    LICE_MemBitmap& image = mHandleImages[b];
    image.resize(size, size);
    LICE_Clear(&image, 0);
    LICE_FillGradientCircle(&image, centre, centre, rim, kHandleRim, kHandleRim, 0.85f, 0);
    LICE_FillGradientCircle(&image, centre, centre, r, kBandColours[b], kBandColours[b], 1.0f, 0);
    LICE_DemultiplyAlpha(&image);
  }
}

void MorvanteDisplay::DrawHandles(IGraphics* graphics) {
  LICE_IBitmap* bm = graphics->GetDrawBitmap();
  const float k = static_cast<float>(graphics->ScalePercent()) / 100.0f;
  // The lowest band last, so that it stays on top where handles meet.
  const int order[kNumMorvanteBands] = {kBandHigh, kBandHighMid, kBandMid, kBandLowMid, kBandLow};
  for (int b : order) {
    float x, y;
    HandleCentre(b, &x, &y);
    if (b == mDragBand) {
      // Held: a little larger.
      const float r = (kHandleRadius + 1.5f) * k;
      LICE_FillGradientCircle(bm, x * k, y * k, r + 1.5f * k, kHandleRim, kHandleRim, 0.85f, 0);
      LICE_FillGradientCircle(bm, x * k, y * k, r, kBandColours[b], kBandColours[b], 1.0f, 0);
    } else {
      LICE_MemBitmap& image = mHandleImages[b];
      const int half = image.getWidth() / 2;
      LICE_Blit(bm, &image, static_cast<int>(std::lround(x * k)) - half, static_cast<int>(std::lround(y * k)) - half, 0,
                0, image.getWidth(), image.getHeight(), 1.0f, LICE_BLIT_USE_ALPHA);
    }
    IText style(10, kHandleText, "Helvetica", IText::kStyleBold, IText::kAlignCenter, 0, IText::kQualityAntiAliased);
    const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
    IRECT where(cx - 8, cy - 6, cx + 8, cy + 6);
    graphics->DrawIText(&style, kHandleNumbers[b], &where);
  }
}

bool MorvanteDisplay::Draw(IGraphics* graphics) {
  LICE_IBitmap* bm = graphics->GetDrawBitmap();
  if (!bm) return false;
  const int p = graphics->ScalePercent();
  // Whatever changed since the timer ran (the scale, an edit) is shown now.
  Refresh(0.0);
  const IRECT strip = ScaleRect(mRECT, p);
  const IRECT plot = ScaleRect(PlotRect(), p);
  // The background, grid and labels are drawn once per scale, whole.
  if (mLayerPercent != p) {
    DrawLayer(graphics);
    mLayer.resize(strip.W(), strip.H());
    LICE_Blit(&mLayer, bm, 0, 0, strip.L, strip.T, strip.W(), strip.H(), 1.0f, 0);
    MakeHandleImages(p);
    mLayerPercent = p;
  }
  LayOutCurves(plot);
  ComposeStrip(bm, strip, plot);
  const float k = static_cast<float>(p) / 100.0f;
  StrokeCurve(bm, plot, mStaticY, 1.2f * k, kStaticCurve, 0.75f);
  StrokeCurve(bm, plot, mDynamicY, 1.6f * k, kDynamicCurve, 1.0f);
  DrawHandles(graphics);
  return true;
}

// ---- The handles ----

int MorvanteDisplay::HandleAt(int x, int y) const {
  // The handle drawn on top wins: the lowest band's.
  const int order[kNumMorvanteBands] = {kBandLow, kBandLowMid, kBandMid, kBandHighMid, kBandHigh};
  for (int b : order) {
    float hx, hy;
    HandleCentre(b, &hx, &hy);
    if (std::hypot(x - hx, y - hy) <= kHandleGrab) return b;
  }
  return -1;
}

void MorvanteDisplay::OnMouseDown(int x, int y, IMouseMod* mod) {
  EndDrag();
  if (mod && mod->R) return;
  Refresh(0.0);
  const int band = HandleAt(x, y);
  if (band < 0) return;
  mDragBand = band;
  float hx, hy;
  HandleCentre(band, &hx, &hy);
  mDragOffsetX = x - hx;
  mDragOffsetY = y - hy;
  const MorvanteBandLayout& layout = kMorvanteBandLayouts[band];
  mMorvante->BeginInformHostOfParamChange(layout.frequencyParam);
  mMorvante->BeginInformHostOfParamChange(layout.gainParam);
  ShowInReadouts(band);
  SetDirty(false);
}

void MorvanteDisplay::OnMouseDrag(int x, int y, int, int, IMouseMod*) {
  if (mDragBand < 0) return;
  const IRECT plot = PlotRect();
  const double fx = (x - mDragOffsetX - plot.L) / plot.W();
  const double hz = kLowestHz * std::pow(kHighestHz / kLowestHz, fx);
  const double dB = kRangeDB - 2.0 * kRangeDB * (y - mDragOffsetY - plot.T) / plot.H();
  SetBand(mDragBand, hz, dB);
}

void MorvanteDisplay::OnMouseUp(int, int, IMouseMod*) { EndDrag(); }

void MorvanteDisplay::OnMouseDblClick(int x, int y, IMouseMod*) {
  EndDrag();
  Refresh(0.0);
  const int band = HandleAt(x, y);
  if (band < 0) return;
  const MorvanteBandLayout& layout = kMorvanteBandLayouts[band];
  mMorvante->BeginInformHostOfParamChange(layout.frequencyParam);
  mMorvante->BeginInformHostOfParamChange(layout.gainParam);
  SetBand(band, mMorvante->GetParam(layout.frequencyParam)->Default(),
          mMorvante->GetParam(layout.gainParam)->Default());
  mMorvante->EndInformHostOfParamChange(layout.frequencyParam);
  mMorvante->EndInformHostOfParamChange(layout.gainParam);
}

void MorvanteDisplay::EndDrag() {
  if (mDragBand < 0) return;
  const MorvanteBandLayout& layout = kMorvanteBandLayouts[mDragBand];
  mDragBand = -1;
  mMorvante->EndInformHostOfParamChange(layout.frequencyParam);
  mMorvante->EndInformHostOfParamChange(layout.gainParam);
  SetDirty(false);
}

// Both parameters as a knob sends them (plug-in, host, the knobs bound to
// them), each within its range.
void MorvanteDisplay::SetBand(int band, double hz, double dB) {
  const MorvanteBandLayout& layout = kMorvanteBandLayouts[band];
  IGraphics* gui = GetGUI();
  for (const auto& [paramIdx, value] : {std::pair<int, double>{layout.frequencyParam, hz}, {layout.gainParam, dB}}) {
    const IParam* param = mMorvante->GetParam(paramIdx);
    const double normalized = param->GetNormalized(std::min(std::max(value, param->Min()), param->Max()));
    mMorvante->SetParameterFromGUI(paramIdx, normalized);
    if (gui) gui->SetParameterFromPlug(paramIdx, normalized, true);
  }
  ShowInReadouts(band);
  if (Refresh(0.0)) SetDirty(false);
}

void MorvanteDisplay::ShowInReadouts(int band) {
  const MorvanteBandLayout& layout = kMorvanteBandLayouts[band];
  if (ITextControl* name = GetNameDisplayControl()) name->SetTextFromPlug(layout.name);
  if (ITextControl* value = GetValDisplayControl()) {
    std::string text;
    for (int paramIdx : {layout.frequencyParam, layout.gainParam}) {
      const IParam* param = mMorvante->GetParam(paramIdx);
      char display[PARAM_DISPLAY_BUFFER_SIZE];
      param->GetDisplayForHost(display, true);
      if (!text.empty()) text += "  ";
      text += std::string(display) + " " + param->GetLabelForHost();
    }
    value->SetTextFromPlug(text.c_str());
  }
}
