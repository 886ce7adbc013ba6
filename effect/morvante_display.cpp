#include "effect/morvante_display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "effect/morvante.h"
#include "framework/iparam.h"
#include "graphics/controls/itext_control.h"
#include "graphics/editor_scale.h"
#include "graphics/igraphics.h"
#include "lice/lice_blit.h"
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

IText LabelStyle(IText::EAlign align) {
  return IText(10, kLabelColour, "Helvetica", IText::kStyleNormal, align, 0, IText::kQualityAntiAliased);
}

// d over c with weight a (0..1), opaque result.
inline void Blend(LICE_pixel* d, LICE_pixel c, float a) {
  const int w = static_cast<int>(a * 256.0f + 0.5f);
  if (w <= 0) return;
  if (w >= 256) {
    *d = c | 0xff000000u;
    return;
  }
  const LICE_pixel s = *d;
  int out[3];
  for (int k = 0; k < 3; ++k) {
    const int shift = 16 - 8 * k;
    const int dc = static_cast<int>((s >> shift) & 0xffu), sc = static_cast<int>((c >> shift) & 0xffu);
    out[k] = dc + (((sc - dc) * w) >> 8);
  }
  *d = 0xff000000u | (static_cast<LICE_pixel>(out[0]) << 16) | (static_cast<LICE_pixel>(out[1]) << 8) |
       static_cast<LICE_pixel>(out[2]);
}

// Column x from top to bottom (continuous rows: row r covers [r, r + 1)),
// the end rows as far as they are covered, within rows [clipTop, clipBottom).
void FillSpan(LICE_IBitmap* bm, int x, float top, float bottom, LICE_pixel c, float a, int clipTop, int clipBottom) {
  if (x < 0 || x >= bm->getWidth() || !(bottom > top)) return;
  const int first = std::max(static_cast<int>(std::floor(top)), std::max(clipTop, 0));
  const int end = std::min(static_cast<int>(std::ceil(bottom)), std::min(clipBottom, bm->getHeight()));
  LICE_pixel* bits = bm->getBits();
  const int span = bm->getRowSpan();
  for (int r = first; r < end; ++r) {
    const float cover = std::min(bottom, r + 1.0f) - std::max(top, static_cast<float>(r));
    Blend(bits + r * span + x, c, a * cover);
  }
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
  const IRECT plot = ScaleRect(PlotRect(), scalePercent);
  const int n = plot.W();
  mAxisHz.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) mAxisHz[i] = kLowestHz * std::pow(kHighestHz / kLowestHz, (i + 0.5) / n);
  mResponse.SetAxis(mAxisHz);
  mResponse.SetGainStates(mGainStates);
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
  bool moved = false;
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const double state = feed.GainState(b);
    moved = moved || state != mGainStates[b];
    mGainStates[b] = state;
  }
  if (moved) mResponse.SetGainStates(mGainStates);
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
    IText style = LabelStyle(IText::kAlignCenter);
    const int cx = static_cast<int>(ex);
    IRECT where(cx - 20, PlotRect().B + 5, cx + 20, PlotRect().B + 17);
    graphics->DrawIText(&style, kFrequencyLabels[i], &where);
  }
}

void MorvanteDisplay::DrawSpectra(LICE_IBitmap* bm, const IRECT& plot) {
  if (!mInputSpectrum) return;
  const float h = static_cast<float>(plot.H());
  auto yOf = [&](double dB) {
    const double t = (kSpectrumTopDB - dB) / (kSpectrumTopDB - kSpectrumBottomDB);
    return static_cast<float>(plot.T + h * std::min(std::max(t, 0.0), 1.0));
  };
  const std::vector<double>& in = mInputSpectrum->LevelDB();
  const std::vector<double>& out = mOutputSpectrum->LevelDB();
  const int n = std::min(static_cast<int>(in.size()), plot.W());
  std::vector<float> outline(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    FillSpan(bm, plot.L + i, yOf(in[i]), static_cast<float>(plot.B), kInputSpectrum, 0.16f, plot.T, plot.B);
    outline[i] = yOf(out[i]);
    FillSpan(bm, plot.L + i, outline[i], static_cast<float>(plot.B), kOutputSpectrum, 0.13f, plot.T, plot.B);
  }
  StrokeCurve(bm, plot, outline, 1.0f, kOutputSpectrum, 0.45f);
}

void MorvanteDisplay::DrawCurves(LICE_IBitmap* bm, const IRECT& plot) {
  const float k = static_cast<float>(plot.H()) / static_cast<float>(2.0 * kRangeDB);
  auto yOf = [&](double dB) { return static_cast<float>(plot.T + k * (kRangeDB - dB)); };
  const std::vector<double>& staticDB = mResponse.StaticDB();
  const std::vector<double>& dynamicDB = mResponse.DynamicDB();
  const int n = std::min(static_cast<int>(staticDB.size()), plot.W());
  std::vector<float> staticY(static_cast<size_t>(n)), dynamicY(static_cast<size_t>(n));
  // Each band's part stacked from the static curve down (a reduction) or
  // up, in the processing's order.
  for (int i = 0; i < n; ++i) {
    staticY[i] = yOf(staticDB[i]);
    dynamicY[i] = yOf(dynamicDB[i]);
    double from = staticDB[i];
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      const double to = from + mResponse.BandChangeDB(b)[i];
      const float y0 = yOf(std::max(from, to)), y1 = yOf(std::min(from, to));
      if (y1 - y0 > 0.05f) FillSpan(bm, plot.L + i, y0, y1, kBandColours[b], 0.6f, plot.T, plot.B);
      from = to;
    }
  }
  const float scale = static_cast<float>(mAxisPercent) / 100.0f;
  StrokeCurve(bm, plot, staticY, 1.2f * scale, kStaticCurve, 0.75f);
  StrokeCurve(bm, plot, dynamicY, 1.6f * scale, kDynamicCurve, 1.0f);
}

void MorvanteDisplay::DrawHandles(IGraphics* graphics) {
  LICE_IBitmap* bm = graphics->GetDrawBitmap();
  const float k = static_cast<float>(graphics->ScalePercent()) / 100.0f;
  // The lowest band last, so that it stays on top where handles meet.
  const int order[kNumMorvanteBands] = {kBandHigh, kBandHighMid, kBandMid, kBandLowMid, kBandLow};
  for (int b : order) {
    float x, y;
    HandleCentre(b, &x, &y);
    const float r = (b == mDragBand ? kHandleRadius + 1.5f : kHandleRadius) * k;
    LICE_FillGradientCircle(bm, x * k, y * k, r + 1.5f * k, kHandleRim, kHandleRim, 0.85f, 0);
    LICE_FillGradientCircle(bm, x * k, y * k, r, kBandColours[b], kBandColours[b], 1.0f, 0);
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
  const IRECT clip = graphics->ToDevice(graphics->GetDrawRect());
  // The layer is kept only from a drawing of the whole strip.
  if (mLayerPercent == p) {
    LICE_Blit(bm, &mLayer, strip.L, strip.T, 0, 0, strip.W(), strip.H(), 1.0f, 0);
  } else {
    DrawLayer(graphics);
    if (strip.Intersect(clip) == strip) {
      mLayer.resize(strip.W(), strip.H());
      LICE_Blit(&mLayer, bm, 0, 0, strip.L, strip.T, strip.W(), strip.H(), 1.0f, 0);
      mLayerPercent = p;
    }
  }
  const IRECT plot = ScaleRect(PlotRect(), p);
  DrawSpectra(bm, plot);
  DrawCurves(bm, plot);
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
