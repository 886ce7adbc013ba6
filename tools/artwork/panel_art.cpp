#include "tools/artwork/panel_art.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <string>
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

class Painter {
public:
  explicit Painter(LICE_IBitmap* bm) : mBm(bm) {}

  void Panel() {
    LICE_GradientRect(mBm, 0, 0, kEditorWidth, kEditorHeight, art::kPanelTop, art::kPanelBottom, 1.0f, kCopy);
  }

  void Column(const Box& b) {
    const float w = static_cast<float>(b.right - b.left), h = static_cast<float>(b.bottom - b.top);
    LICE_FillGradientRoundRect(mBm, b.left - 1, b.top, w + 2, h + 2, 7, art::kShadow, art::kShadow, 0.6f, kCopy);
    LICE_FillGradientRoundRect(mBm, b.left, b.top, w, h, 6, art::kColumnEdge, art::kColumnBottom, 1.0f, kCopy);
    LICE_FillGradientRoundRect(mBm, b.left + 1, b.top + 1, w - 2, h - 2, 5, art::kColumnTop, art::kColumnBottom, 1.0f,
                               kCopy);
  }

  void Inset(const Box& b, float radius) {
    const float w = static_cast<float>(b.right - b.left), h = static_cast<float>(b.bottom - b.top);
    LICE_FillGradientRoundRect(mBm, b.left, b.top, w, h, radius, art::kShadow, art::kColumnEdge, 1.0f, kCopy);
    LICE_FillGradientRoundRect(mBm, b.left + 1, b.top + 1, w - 2, h - 2, radius - 1, art::kInset, art::kInset, 1.0f,
                               kCopy);
  }

  void Heading(const std::string& text, int cx, int y) { mHeading.Draw(mBm, text, cx, y, art::kText, ArtAlign::kCenter, 2); }

  // NAME unit under a knob; the unit dimmer than the name.
  void KnobLabel(const std::string& title, const std::string& unit, int cx, int y) {
    const int gap = 4;
    const int tw = mLabel.TrackedWidth(title, 1), uw = unit.empty() ? 0 : mSmall.Width(unit);
    const int total = tw + (uw ? gap + uw : 0);
    const int left = cx - total / 2;
    mLabel.Draw(mBm, title, left, y, art::kText, ArtAlign::kLeft, 1);
    if (uw) mSmall.Draw(mBm, unit, left + tw + gap, y + 1, art::kTextDim, ArtAlign::kLeft);
  }

  void RangeEnds(const Box& knob, const KnobGeometry& g, const std::string& lo, const std::string& hi) {
    // Under the two ends of the arc.
    const float reach = g.trackRadius + g.trackWidth * 0.5f;
    const int y = static_cast<int>(std::lround(g.cy + reach * 0.7071f)) + 1;
    const int dx = static_cast<int>(std::lround(reach * 0.7071f));
    mSmall.Draw(mBm, lo, knob.left + static_cast<int>(g.cx) - dx, knob.top + y, art::kTextDim, ArtAlign::kCenter);
    mSmall.Draw(mBm, hi, knob.left + static_cast<int>(g.cx) + dx + 1, knob.top + y, art::kTextDim, ArtAlign::kCenter);
  }

  void MeterScale(const Box& meter) {
    const MeterGeometry g = MeterGeometryFor(meter.right - meter.left, meter.bottom - meter.top);
    for (int db = 0; db <= static_cast<int>(kMeterFullScaleDb); db += 2) {
      const int x = meter.left + static_cast<int>(std::lround(MeterColumnForDb(g, db)));
      const bool major = db % 4 == 0;
      LICE_FillRect(mBm, x, meter.bottom + 1, 1, major ? 3 : 2, major ? art::kTextDim : art::kTextFaint, 1.0f, kCopy);
      if (!major) continue;
      std::string t = std::to_string(db);
      ArtAlign align = ArtAlign::kCenter;
      int tx = x;
      if (db == 0) align = ArtAlign::kLeft;
      if (db == static_cast<int>(kMeterFullScaleDb)) t += " dB", align = ArtAlign::kRight, tx = x + 2;
      mTiny.Draw(mBm, t, tx, meter.bottom + 4, art::kTextDim, align);
    }
  }

  void Caption(const std::string& text, int cx, int y, LICE_pixel color) {
    mLabel.Draw(mBm, text, cx, y, color, ArtAlign::kCenter, 1);
  }
  void Small(const std::string& text, int x, int y, LICE_pixel color, ArtAlign align) {
    mSmall.Draw(mBm, text, x, y, color, align);
  }
  void Wordmark(const std::string& text, int cx, int y) { mWordmark.Draw(mBm, text, cx, y, art::kTextBright, ArtAlign::kCenter, 3); }
  int SmallWidth(const std::string& text) { return mSmall.Width(text); }
  int SmallLineHeight() { return mSmall.LineHeight(); }

private:
  LICE_IBitmap* mBm;
  ArtFont mHeading{11, true};
  ArtFont mLabel{9, true};
  ArtFont mSmall{9, false};
  ArtFont mTiny{8, false};
  ArtFont mWordmark{17, true};
};

}  // namespace

bool KnobIsBipolar(const IParam& param) { return param.Min() < 0 && param.Min() == -param.Max(); }

std::unique_ptr<LICE_MemBitmap> DrawBackground(const IParam* params) {
  auto bm = std::make_unique<LICE_MemBitmap>(kEditorWidth, kEditorHeight);
  Painter paint(bm.get());
  paint.Panel();

  // Band columns around their controls, named at the top.
  constexpr int kMargin = 8, kColumnTop = 4, kColumnBottom = kEditorHeight - 4;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    Box col = {kEditorWidth, kColumnTop, 0, kColumnBottom};
    for (const MorvanteControlPlace& p : kMorvanteControlPlaces) {
      if (BandOf(p) != b) continue;
      const Box r = BoxOf(p);
      col.left = std::min(col.left, r.left - kMargin);
      col.right = std::max(col.right, r.right + kMargin);
    }
    paint.Column(col);
    paint.Heading(Upper(kMorvanteBandLayouts[b].name), (col.left + col.right) / 2, 7);
  }

  // Output section at the right: bypass and Output.
  const MorvanteControlPlace* bypass = PlaceOfParam(kBypass);
  const MorvanteControlPlace* output = PlaceOfParam(kOutput);
  if (bypass && output) {
    const Box by = BoxOf(*bypass), out = BoxOf(*output);
    const Box col = {std::min(by.left, out.left) - 10, kColumnTop, kEditorWidth - 4, kColumnBottom};
    paint.Column(col);
    paint.Heading("OUTPUT", (col.left + col.right) / 2, 7);
  }

  // The readouts' display and the product name at the top left.
  paint.Inset({4, 4, 124, 52}, 4);
  paint.Wordmark("MORVANTE", 64, 66);
  paint.Small("DYNAMIC EQUALISER", 64, 90, art::kTextDim, ArtAlign::kCenter);

  for (const MorvanteControlPlace& p : kMorvanteControlPlaces) {
    const Box r = BoxOf(p);
    const int cx = (r.left + r.right) / 2;
    switch (p.kind) {
      case kControlKnob: {
        const IParam& param = params[p.paramIdx];
        const KnobGeometry g = KnobGeometryFor(r.right - r.left, r.bottom - r.top);
        const bool bipolar = KnobIsBipolar(param);
        paint.RangeEnds(r, g, RangeEndText(param, param.Min(), bipolar), RangeEndText(param, param.Max(), bipolar));
        const std::string title = KnobTitle(param, BandOfParam(p.paramIdx));
        const std::string unit = param.GetLabelForHost();
        if (p.paramIdx == kOutput) paint.KnobLabel(title, unit, cx, r.top - 14);
        else paint.KnobLabel(title, unit, cx, r.bottom + 1);
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

  // What the detector names mean, at the bottom left.
  paint.Caption("DETECTOR", 64, 534, art::kTextDim);
  paint.Small(std::string(kDetectorModeNames[0]) + "  larger channel", 64, 548, art::kTextDim, ArtAlign::kCenter);
  paint.Small(std::string(kDetectorModeNames[1]) + "  channel sum", 64, 562, art::kTextDim, ArtAlign::kCenter);

  // The maker's link where the link control lies.
  const std::string link = "penvarrowsonics.com";
  const int linkCx = (kLinkLeft + kLinkRight) / 2;
  const int linkY = kLinkTop + (kEditorHeight - kLinkTop - paint.SmallLineHeight()) / 2;
  paint.Small(link, linkCx, linkY, art::kAccent, ArtAlign::kCenter);
  const int lw = paint.SmallWidth(link);
  LICE_FillRect(bm.get(), linkCx - lw / 2, linkY + paint.SmallLineHeight(), lw, 1, art::kAccentDim, 1.0f, kCopy);
  return bm;
}
