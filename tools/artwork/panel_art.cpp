#include "tools/artwork/panel_art.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "effect/morvante_band.h"
#include "effect/morvante_layout.h"
#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice/lice_soft_shapes.h"
#include "tools/artwork/art_palette.h"
#include "tools/artwork/art_text.h"
#include "tools/artwork/knob_art.h"
#include "tools/artwork/meter_art.h"
#include "tools/artwork/switch_art.h"

namespace {

constexpr int kCopy = LICE_BLIT_MODE_COPY;
constexpr const char* kMinus = "\xe2\x88\x92";  // U+2212, the typographic minus

struct Box {
  int left, top, right, bottom;  // right and bottom exclusive
};

Box BoxOf(const MorvanteControlPlace& place) {
  const MorvanteFrameSize s = FrameSizeOf(place);
  return {place.x, place.y, place.x + s.width, place.y + s.height};
}

// The band whose records list paramIdx, or -1.
int BandOfParam(int paramIdx) {
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandLayout& l = kMorvanteBandLayouts[b];
    for (int p : {l.attackParam, l.bandwidthParam, l.frequencyParam, l.gainParam, l.ratioParam, l.releaseParam,
                  l.thresholdParam, l.modeParam})
      if (p == paramIdx) return b;
  }
  return -1;
}

const MorvanteControlPlace* PlaceOfParam(int paramIdx) {
  for (const MorvanteControlPlace& p : kMorvanteControlPlaces)
    if (p.paramIdx == paramIdx) return &p;
  return nullptr;
}

// A meter belongs to the band whose threshold knob is nearest above it.
int BandOfMeter(const MorvanteControlPlace& meter) {
  int best = -1, bestDistance = 1 << 30;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteControlPlace* thr = PlaceOfParam(kMorvanteBandLayouts[b].thresholdParam);
    if (!thr) continue;
    const int d = std::abs(thr->x - meter.x);
    if (d < bestDistance) bestDistance = d, best = b;
  }
  return best;
}

int BandOf(const MorvanteControlPlace& place) {
  return place.kind == kControlMeter ? BandOfMeter(place) : BandOfParam(place.paramIdx);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// "Low Mid Frequency" in the Low Mid column reads "FREQUENCY".
std::string KnobTitle(const IParam& param, int band) {
  std::string name = param.GetNameForHost();
  if (band >= 0) {
    const std::string prefix = std::string(kMorvanteBandLayouts[band].name) + " ";
    if (name.compare(0, prefix.size(), prefix) == 0) name = name.substr(prefix.size());
  }
  return Upper(name);
}

// A range end as the parameter displays it, without trailing zeros, with
// thousands of Hz as "k" and a true minus sign; "+" on bipolar ranges.
std::string RangeEndText(const IParam& param, double value, bool bipolar) {
  char buf[PARAM_DISPLAY_BUFFER_SIZE];
  param.GetDisplayForHost(value, false, buf, false);
  std::string s = buf;
  const bool kilo = std::string(param.GetLabelForHost()) == "Hz" && std::fabs(value) >= 1000.0;
  if (kilo) {
    param.GetDisplayForHost(value, false, buf, false);
    char k[PARAM_DISPLAY_BUFFER_SIZE];
    std::snprintf(k, sizeof k, "%.2f", std::atof(buf) / 1000.0);
    s = k;
  }
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  if (kilo) s += "k";
  if (!s.empty() && s[0] == '-') s = kMinus + s.substr(1);
  else if (bipolar && value > 0) s = "+" + s;
  return s;
}

// Draws in layout pixels, k device pixels each: every position, size and
// font is the 1x one times k, so the 2x set is the same picture, not a
// resampled one.
class Painter {
public:
  Painter(LICE_IBitmap* bm, int k) : mBm(bm), k(k) {}

  void Panel() {
    LICE_GradientRect(mBm, 0, 0, kEditorWidth * k, kEditorHeight * k, art::kPanelTop, art::kPanelBottom, 1.0f, kCopy);
  }

  void Column(const Box& b) {
    const float w = static_cast<float>(b.right - b.left) * k, h = static_cast<float>(b.bottom - b.top) * k;
    LICE_FillGradientRoundRect(mBm, (b.left - 1) * k, b.top * k, w + 2 * k, h + 2 * k, 7 * k, art::kShadow,
                               art::kShadow, 0.6f, kCopy);
    LICE_FillGradientRoundRect(mBm, b.left * k, b.top * k, w, h, 6 * k, art::kColumnEdge, art::kColumnBottom, 1.0f,
                               kCopy);
    LICE_FillGradientRoundRect(mBm, (b.left + 1) * k, (b.top + 1) * k, w - 2 * k, h - 2 * k, 5 * k, art::kColumnTop,
                               art::kColumnBottom, 1.0f, kCopy);
  }

  void Inset(const Box& b, float radius) {
    const float w = static_cast<float>(b.right - b.left) * k, h = static_cast<float>(b.bottom - b.top) * k;
    LICE_FillGradientRoundRect(mBm, b.left * k, b.top * k, w, h, radius * k, art::kShadow, art::kColumnEdge, 1.0f,
                               kCopy);
    LICE_FillGradientRoundRect(mBm, (b.left + 1) * k, (b.top + 1) * k, w - 2 * k, h - 2 * k, (radius - 1) * k,
                               art::kInset, art::kInset, 1.0f, kCopy);
  }

  void Heading(const std::string& text, int cx, int y) {
    mHeading.Draw(mBm, text, cx * k, y * k, art::kText, ArtAlign::kCenter, 2 * k);
  }
  // The band's name at the top left of its column, what its meter shows at
  // the top right.
  void BandHeading(const std::string& name, const Box& col) {
    mHeading.Draw(mBm, name, (col.left + 10) * k, 7 * k, art::kTextBright, ArtAlign::kLeft, 2 * k);
    mTiny.Draw(mBm, "GAIN REDUCTION", (col.right - 10) * k, 10 * k, art::kTextDim, ArtAlign::kRight, k);
  }

  // NAME unit under a knob, the unit dimmer than the name, kept inside the
  // column [left, right): letter-spaced when there is room, moved inward
  // when even the plain width would cross the column's edge.
  // Measured and placed in device pixels; the choice of letter-spacing is
  // made at 1x for every scale, so the 2x label reads the same.
  void KnobLabel(const std::string& title, const std::string& unit, int cx, int y, int left, int right,
                 bool tracked) {
    const int kGap = 4 * k, kPad = 4 * k;
    cx *= k, y *= k, left *= k, right *= k;
    const int uw = unit.empty() ? 0 : mSmall.Width(unit);
    auto total = [&](int tracking) { return mLabel.TrackedWidth(title, tracking) + (uw ? kGap + uw : 0); };
    const int tracking = tracked ? k : 0;
    const int w = total(tracking);
    int x = cx - w / 2;
    x = std::min(x, right - kPad - w);
    x = std::max(x, left + kPad);
    mLabel.Draw(mBm, title, x, y, art::kText, ArtAlign::kLeft, tracking);
    if (uw) mSmall.Draw(mBm, unit, x + mLabel.TrackedWidth(title, tracking) + kGap, y + k, art::kTextDim);
  }
  // Whether the label of KnobLabel fits letter-spaced (asked at 1x).
  bool LabelFitsTracked(const std::string& title, const std::string& unit, int cx, int left, int right) {
    constexpr int kGap = 4, kPad = 4;
    const int uw = unit.empty() ? 0 : mSmall.Width(unit);
    const int total = mLabel.TrackedWidth(title, 1) + (uw ? kGap + uw : 0);
    return cx - total / 2 >= left + kPad && cx + (total + 1) / 2 <= right - kPad;
  }

  void RangeEnds(const Box& knob, const KnobGeometry& g, const std::string& lo, const std::string& hi) {
    // Under the two ends of the arc.
    const float reach = g.trackRadius + g.trackWidth * 0.5f;
    const int y = static_cast<int>(std::lround(g.cy + reach * 0.7071f)) + k;
    const int dx = static_cast<int>(std::lround(reach * 0.7071f));
    const int left = knob.left * k, top = knob.top * k;
    mSmall.Draw(mBm, lo, left + static_cast<int>(g.cx) - dx, top + y, art::kTextDim, ArtAlign::kCenter);
    mSmall.Draw(mBm, hi, left + static_cast<int>(g.cx) + dx + k, top + y, art::kTextDim, ArtAlign::kCenter);
  }

  // A mark above the centre of a bipolar knob's travel, in the frame's
  // transparent top rows.
  void CentreMark(const Box& knob, const KnobGeometry& g) {
    const int x = knob.left * k + static_cast<int>(std::floor(g.cx));
    LICE_FillRect(mBm, x, knob.top * k, g.cx == std::floor(g.cx) ? k : 2 * k, 2 * k, art::kText, 1.0f, kCopy);
  }

  void MeterScale(const Box& meter) {
    // The ticks stand where the 1x ones stand, k pixels wide.
    const MeterGeometry g = MeterGeometryFor(meter.right - meter.left, meter.bottom - meter.top);
    for (int db = 0; db <= static_cast<int>(kMeterFullScaleDb); db += 2) {
      const int x = (meter.left + static_cast<int>(std::lround(MeterColumnForDb(g, db)))) * k;
      const bool major = db % 4 == 0;
      LICE_FillRect(mBm, x, (meter.bottom + 1) * k, k, (major ? 3 : 2) * k, major ? art::kTextDim : art::kTextFaint,
                    1.0f, kCopy);
      if (!major) continue;
      std::string t = std::to_string(db);
      ArtAlign align = ArtAlign::kCenter;
      int tx = x;
      if (db == 0) align = ArtAlign::kLeft;
      if (db == static_cast<int>(kMeterFullScaleDb)) t += " dB", align = ArtAlign::kRight, tx = x + 2 * k;
      mTiny.Draw(mBm, t, tx, (meter.bottom + 4) * k, art::kTextDim, align);
    }
  }

  void Caption(const std::string& text, int cx, int y, LICE_pixel color) {
    mLabel.Draw(mBm, text, cx * k, y * k, color, ArtAlign::kCenter, k);
  }
  void Small(const std::string& text, int x, int y, LICE_pixel color, ArtAlign align) {
    mSmall.Draw(mBm, text, x * k, y * k, color, align);
  }
  void Rule(int x, int y, int w, LICE_pixel color) { LICE_FillRect(mBm, x * k, y * k, w * k, k, color, 1.0f, kCopy); }
  // Rows of "NAME  meaning", names bold in one column, the block centred
  // on cx.
  void Legend(const std::vector<std::pair<std::string, std::string>>& rows, int cx, int y) {
    const int kGap = 6 * k, kRowPitch = 13 * k;
    int nw = 0, mw = 0;
    for (const auto& row : rows) {
      nw = std::max(nw, mLabel.Width(row.first));
      mw = std::max(mw, mSmall.Width(row.second));
    }
    cx *= k, y *= k;
    const int x = cx - (nw + kGap + mw) / 2;
    for (const auto& row : rows) {
      mLabel.Draw(mBm, row.first, x + nw, y, art::kText, ArtAlign::kRight);
      mSmall.Draw(mBm, row.second, x + nw + kGap, y, art::kTextDim);
      y += kRowPitch;
    }
  }
  // y in device pixels: the link sits by its 1x line height at every scale.
  void Link(const std::string& text, int cx, int y, LICE_pixel color, LICE_pixel underline) {
    cx *= k;
    mSmall.Draw(mBm, text, cx, y, color, ArtAlign::kCenter);
    const int w = mSmall.Width(text);
    LICE_FillRect(mBm, cx - w / 2, y + mSmall.LineHeight(), w, k, underline, 1.0f, kCopy);
  }
  int LinkLineHeight() { return mSmall.LineHeight() + k; }
  void Wordmark(const std::string& text, int cx, int y) {
    mWordmark.Draw(mBm, text, cx * k, y * k, art::kTextBright, ArtAlign::kCenter, k);
  }

private:
  LICE_IBitmap* mBm;
  const int k;
  ArtFont mHeading{11 * k, true};
  ArtFont mLabel{9 * k, true};
  ArtFont mSmall{9 * k, false};
  ArtFont mTiny{8 * k, false};
  ArtFont mWordmark{17 * k, true};
};

// The host of the product page without scheme and "www.", as a reader
// would type it.
std::string LinkText(const std::string& url) {
  std::string host = url;
  const size_t scheme = host.find("://");
  if (scheme != std::string::npos) host = host.substr(scheme + 3);
  host = host.substr(0, host.find('/'));
  if (host.compare(0, 4, "www.") == 0) host = host.substr(4);
  return host;
}

}  // namespace

bool KnobIsBipolar(const IParam& param) { return param.Min() < 0 && param.Min() == -param.Max(); }

std::unique_ptr<LICE_MemBitmap> DrawBackground(const IParam* params, int pixelScale) {
  auto bm = std::make_unique<LICE_MemBitmap>(kEditorWidth * pixelScale, kEditorHeight * pixelScale);
  Painter paint(bm.get(), pixelScale);
  // What the 1x labels decide (letter-spacing) every scale follows.
  Painter measure(bm.get(), 1);
  paint.Panel();

  // Band columns around their controls, named at the top; the output
  // section at the right holds bypass and Output.
  constexpr int kMargin = 8, kColumnTop = 4, kColumnBottom = kEditorHeight - 4;
  Box columns[kNumMorvanteBands];
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    Box& col = columns[b];
    col = {kEditorWidth, kColumnTop, 0, kColumnBottom};
    for (const MorvanteControlPlace& p : kMorvanteControlPlaces) {
      if (BandOf(p) != b) continue;
      const Box r = BoxOf(p);
      col.left = std::min(col.left, r.left - kMargin);
      col.right = std::max(col.right, r.right + kMargin);
    }
    paint.Column(col);
    paint.BandHeading(Upper(kMorvanteBandLayouts[b].name), col);
  }
  const MorvanteControlPlace* bypass = PlaceOfParam(kBypass);
  const MorvanteControlPlace* output = PlaceOfParam(kOutput);
  Box master = {kEditorWidth, kColumnTop, kEditorWidth - 3, kColumnBottom};
  if (bypass && output) {
    const Box by = BoxOf(*bypass), out = BoxOf(*output);
    master.left = std::min(by.left, out.left) - 10;
    master.top = by.top - 30;
    paint.Column(master);
    paint.Heading("MASTER", (master.left + master.right) / 2, master.top + 4);
  }
  auto columnOf = [&](const MorvanteControlPlace& p) {
    const int b = BandOf(p);
    return b >= 0 ? columns[b] : master;
  };

  // The readouts' display at the top left; the product name at the top
  // right, above the output section.
  paint.Inset({4, 4, 124, 52}, 4);
  const int brandCx = (master.left + master.right) / 2;
  paint.Wordmark("MORVANTE", brandCx, 14);
  paint.Small("DYNAMIC EQUALISER", brandCx, 37, art::kTextDim, ArtAlign::kCenter);
  paint.Rule(master.left + 20, 54, master.right - master.left - 40, art::kColumnEdge);

  for (const MorvanteControlPlace& p : kMorvanteControlPlaces) {
    const Box r = BoxOf(p);
    const int cx = (r.left + r.right) / 2;
    switch (p.kind) {
      case kControlKnob: {
        const IParam& param = params[p.paramIdx];
        const KnobGeometry g = KnobGeometryFor(r.right - r.left, r.bottom - r.top, pixelScale);
        const bool bipolar = KnobIsBipolar(param);
        paint.RangeEnds(r, g, RangeEndText(param, param.Min(), bipolar), RangeEndText(param, param.Max(), bipolar));
        if (bipolar) paint.CentreMark(r, g);
        const std::string title = KnobTitle(param, BandOfParam(p.paramIdx));
        const std::string unit = param.GetLabelForHost();
        const Box col = columnOf(p);
        const bool tracked = measure.LabelFitsTracked(title, unit, cx, col.left, col.right);
        paint.KnobLabel(title, unit, cx, p.paramIdx == kOutput ? r.top - 14 : r.bottom + 1, col.left, col.right,
                        tracked);
        break;
      }
      case kControlMeter:
        paint.MeterScale(r);
        break;
      case kControlSwitch:
        if (p.paramIdx != kBypass) paint.Caption("DETECTOR", cx, r.top - 13, art::kTextDim);
        break;
    }
  }

  // What the detector names mean, at the bottom left in line with the
  // switches and their captions.
  if (const MorvanteControlPlace* low = PlaceOfParam(kMorvanteBandLayouts[kBandLow].modeParam)) {
    paint.Caption("DETECTOR", 64, low->y - 13, art::kTextDim);
    paint.Legend({{kDetectorModeNames[0], "larger channel"}, {kDetectorModeNames[1], "channel sum"}}, 64, low->y + 1);
  }

  // The maker's link where the link control lies.
  const int linkY = kLinkTop * pixelScale + ((kEditorHeight - kLinkTop) * pixelScale - paint.LinkLineHeight()) / 2;
  paint.Link(LinkText(kProductPageURL), (kLinkLeft + kLinkRight) / 2 - 2, linkY, art::kAccent, art::kAccentDim);
  return bm;
}
