// The editor the effect's constructor builds: its control list, images and
// geometry, what a fresh editor shows, and what the user's gestures do.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "effect/morvante_readout.h"
#include "graphics/bitmap_storage.h"
#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/controls/iswitch_control.h"
#include "graphics/controls/itext_control.h"
#include "graphics/controls/iurl_control.h"
#include "lice/lice_png.h"
#include "lice/lice_sysbitmap.h"
#include "tests/effect/editor_test_support.h"
#include "tests/effect/test_signal.h"

namespace {

constexpr int kLinkIdx = 48;
constexpr int kNameReadoutIdx = 49;
constexpr int kValueReadoutIdx = 50;
constexpr int kLowGainKnobIdx = 23;
constexpr int kBypassSwitchIdx = 41;
constexpr int kFirstMeterIdx = 42;
// The bands of the meters at 42 to 46.
constexpr int kMeterBands[kNumMorvanteBands] = {kBandLow, kBandLowMid, kBandMid, kBandHighMid, kBandHigh};

const char* Text(IGraphics* gui, int idx) {
  return static_cast<ITextControl*>(gui->GetControl(idx))->GetTextForPlug();
}

// A press at the control's centre, a vertical drag `up` pixels one pixel at
// a time (Shift for the fine steps), and the release.
void Drag(IGraphics* gui, int idx, int up, bool fine = false) {
  int x = 0, y = 0;
  ControlCentre(gui, idx, &x, &y);
  IMouseMod mod(true, false, fine);
  gui->OnMouseDown(x, y, &mod);
  const int step = up < 0 ? -1 : 1;
  for (int k = step; k != up + step; k += step) gui->OnMouseDrag(x, y - k, &mod);
  gui->OnMouseUp(x, y - up, &mod);
}

void Click(IGraphics* gui, int x, int y) {
  IMouseMod mod(true);
  gui->OnMouseDown(x, y, &mod);
  gui->OnMouseUp(x, y, &mod);
}

// Drags a knob as a user aiming at a value would: coarse first, then fine.
void DragKnobTo(TestMorvante& plug, int idx, int paramIdx, double target) {
  IGraphics* gui = plug.GetGUI();
  const double h = gui->GetControl(idx)->GetRECT()->H();
  const double delta = plug.GetParam(paramIdx)->GetNormalized(target) - gui->GetControl(idx)->GetValue();
  const int coarse = static_cast<int>(delta * 4.0 * h);
  if (coarse != 0) Drag(gui, idx, coarse);
  const double rest = plug.GetParam(paramIdx)->GetNormalized(target) - gui->GetControl(idx)->GetValue();
  const int fine = static_cast<int>(rest * 40.0 * h + (rest < 0 ? -0.5 : 0.5));
  if (fine != 0) Drag(gui, idx, fine, true);
}

bool Overlap(const IRECT& a, const IRECT& b) { return a.L < b.R && b.L < a.R && a.T < b.B && b.T < a.B; }

std::string Describe(const IRECT& r) {
  return "(" + std::to_string(r.L) + ", " + std::to_string(r.T) + ", " + std::to_string(r.R) + ", " +
         std::to_string(r.B) + ")";
}

}  // namespace

TEST(MorvanteEditor, ControlsFollowTheLayoutInOrder) {
  TestMorvante plug;
  IGraphicsLinux* gui = EditorOf(plug);
  ASSERT_NE(gui, nullptr);
  EXPECT_STREQ(gui->GetBundleID(), "com.Penvarrowsonics.vst3.MORVANTE");
  EXPECT_EQ(gui->Width(), 1220);
  EXPECT_EQ(gui->Height(), 590);
  EXPECT_EQ(gui->FPS(), 25);
  ASSERT_EQ(gui->NControls(), 51);
  ASSERT_NE(gui->GetDrawBitmap(), nullptr);

  auto* background = dynamic_cast<IBitmapControl*>(gui->GetControl(0));
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(*background->GetRECT(), IRECT(0, 0, 1220, 590));
  EXPECT_EQ(background->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  EXPECT_EQ(background->GetBitmap()->mData, s_bitmapCache.Find(kBackgroundImageId));

  for (int i = 0; i < kNumMorvanteControlPlaces; ++i) {
    const MorvanteControlPlace& place = kMorvanteControlPlaces[i];
    const int idx = i + 1;
    IControl* control = gui->GetControl(idx);
    SCOPED_TRACE("control " + std::to_string(idx) + " " + place.image.file);
    IBitmap* image = ImageOf(control);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->mData, s_bitmapCache.Find(place.image.id));
    EXPECT_EQ(image->N, place.image.frames);
    EXPECT_FALSE(image->mFramesAreHorizontal);
    EXPECT_EQ(*control->GetRECT(), IRECT(place.x, place.y, place.x + image->FrameWidth(),
                                         place.y + image->FrameHeight()));
    EXPECT_EQ(*control->GetTargetRECT(), *control->GetRECT());
    EXPECT_EQ(control->ParamIdx(), place.paramIdx);
    EXPECT_EQ(control->GetBlend()->mMethod, IChannelBlend::kBlendAlpha);
    switch (place.kind) {
      case kControlKnob: {
        auto* knob = dynamic_cast<IKnobMultiControl*>(control);
        ASSERT_NE(knob, nullptr);
        EXPECT_EQ(knob->GetDirection(), kVertical);
        EXPECT_EQ(knob->GetGearing(), 4.0);
        EXPECT_TRUE(knob->IsPromptDisabled());
        break;
      }
      case kControlSwitch:
        EXPECT_NE(dynamic_cast<ISwitchControl*>(control), nullptr);
        break;
      case kControlMeter:
        EXPECT_EQ(typeid(*control), typeid(IBitmapControl));
        break;
    }
  }

  auto* link = dynamic_cast<IURLControl*>(gui->GetControl(kLinkIdx));
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(*link->GetRECT(), IRECT(1120, 560, 1220, 660));
  EXPECT_STREQ(link->GetURL(), kProductPageURL);
  EXPECT_NE(std::string(kProductPageURL).find("/product/morvante/"), std::string::npos);
  EXPECT_STREQ(link->GetBackupURL(), "");
  EXPECT_STREQ(link->GetErrMsg(), "");

  const IRECT readoutRects[] = {IRECT(10, 10, 60, 30), IRECT(10, 30, 60, 30)};
  ITextControl* readouts[2] = {};
  for (int k = 0; k < 2; ++k) {
    readouts[k] = dynamic_cast<ITextControl*>(gui->GetControl(kNameReadoutIdx + k));
    ASSERT_NE(readouts[k], nullptr);
    EXPECT_EQ(*readouts[k]->GetRECT(), readoutRects[k]);
    EXPECT_STREQ(readouts[k]->GetTextForPlug(), "");
    EXPECT_EQ(readouts[k]->ParamIdx(), -1);
    const IText* style = readouts[k]->GetText();
    EXPECT_STREQ(style->mFont, "Helvetica");
    EXPECT_EQ(style->mSize, 12);
    EXPECT_EQ(style->mColor, COLOR_WHITE);
    EXPECT_EQ(style->mTextEntryBGColor, DEFAULT_TEXT_ENTRY_BGCOLOR);
    EXPECT_EQ(style->mTextEntryFGColor, DEFAULT_TEXT_ENTRY_FGCOLOR);
    EXPECT_EQ(style->mStyle, IText::kStyleNormal);
    EXPECT_EQ(style->mAlign, IText::kAlignNear);
    EXPECT_EQ(style->mOrientation, 0);
    EXPECT_EQ(style->mQuality, IText::kQualityNonAntiAliased);
    EXPECT_EQ(readouts[k]->GetNameDisplayControl(), nullptr);
    EXPECT_EQ(readouts[k]->GetValDisplayControl(), nullptr);
  }
  for (int idx = 0; idx <= kLinkIdx; ++idx) {
    EXPECT_EQ(gui->GetControl(idx)->GetNameDisplayControl(), readouts[0]) << idx;
    EXPECT_EQ(gui->GetControl(idx)->GetValDisplayControl(), readouts[1]) << idx;
  }

  // Parameter 25 has no control; every other parameter has exactly one.
  for (int p = 0; p < kNumMorvanteParams; ++p) {
    int bound = 0;
    for (int idx = 0; idx < gui->NControls(); ++idx) bound += gui->GetControl(idx)->ParamIdx() == p;
    EXPECT_EQ(bound, p == 25 ? 0 : 1) << p;
  }
}

TEST(MorvanteEditor, EveryImageLoadsWithItsFramesAndTheSizeOfItsKind) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  LICE_IBitmap* bg = s_bitmapCache.Find(kBackgroundImageId);
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->getWidth(), 1220);
  EXPECT_EQ(bg->getHeight(), 590);

  // Every control of a kind has one size: knobs, meters, mode switches.
  IRECT sizes[3];
  for (int i = 0; i < kNumMorvanteControlPlaces; ++i) {
    const MorvanteControlPlace& place = kMorvanteControlPlaces[i];
    SCOPED_TRACE(place.image.file);
    LICE_IBitmap* image = s_bitmapCache.Find(place.image.id);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getHeight() % place.image.frames, 0);
    const IRECT& r = *gui->GetControl(i + 1)->GetRECT();
    EXPECT_GT(r.W(), 0);
    EXPECT_GT(r.H(), 0);
    EXPECT_EQ(r.H() * place.image.frames, image->getHeight());
    if (place.paramIdx == kBypass || place.paramIdx == kOutput) continue;
    IRECT& size = sizes[place.kind];
    if (size.Empty()) size = IRECT(0, 0, r.W(), r.H());
    EXPECT_EQ(IRECT(0, 0, r.W(), r.H()), size);
  }
}

// The background lies under everything and the link reaches below the
// editor's edge; nothing else may touch another control or leave the panel.
TEST(MorvanteEditor, ControlRectanglesNeitherOverlapNorLeaveThePanel) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  const IRECT panel(0, 0, 1220, 590);
  std::vector<IRECT> areas;
  for (int idx = 1; idx < gui->NControls(); ++idx) {
    IControl* control = gui->GetControl(idx);
    const IRECT paint = control->GetPaintRECT();
    const IRECT area = control->GetRECT()->Union(paint);
    areas.push_back(area);
    if (idx == kLinkIdx) {
      EXPECT_EQ(area.Intersect(panel), IRECT(1120, 560, 1220, 590));
      continue;
    }
    EXPECT_TRUE(area.L >= 0 && area.T >= 0 && area.R <= 1220 && area.B <= 590)
        << idx << " " << Describe(area);
  }
  for (size_t a = 0; a < areas.size(); ++a)
    for (size_t b = a + 1; b < areas.size(); ++b)
      EXPECT_FALSE(Overlap(areas[a], areas[b]))
          << "controls " << a + 1 << " " << Describe(areas[a]) << " and " << b + 1 << " " << Describe(areas[b]);
}

TEST(MorvanteEditor, APointOnAKnobHitsTheKnobAndNotTheBackground) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  int x = 0, y = 0;
  for (int i = 0; i < kNumMorvanteControlPlaces; ++i) {
    ControlCentre(gui, i + 1, &x, &y);
    EXPECT_EQ(gui->GetMouseControlIdx(x, y), i + 1) << kMorvanteControlPlaces[i].image.file;
  }
  const IRECT& knob = *gui->GetControl(kLowGainKnobIdx)->GetRECT();
  EXPECT_EQ(gui->GetMouseControlIdx(knob.L, knob.T), kLowGainKnobIdx);
  EXPECT_EQ(gui->GetMouseControlIdx(knob.R - 1, knob.B - 1), kLowGainKnobIdx);
  EXPECT_EQ(gui->GetMouseControlIdx(knob.R, knob.B), 0);
  EXPECT_EQ(gui->GetMouseControlIdx(600, 5), 0);
  EXPECT_EQ(gui->GetMouseControlIdx(1200, 580), kLinkIdx);
}

// The first drawing of an editor shows each knob at its parameter's frame
// and each meter at the frame of the last value the processing sent.
TEST(MorvanteEditor, AFreshEditorShowsEveryParameterAndTheLastMeterValues) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  std::vector<double> l(2000), r(2000);
  ProgramSignal signal(44100.0, 5);
  for (size_t i = 0; i < l.size(); ++i) l[i] = r[i] = 0.8 * signal.Noise();
  plug.ProcessInPlace(l, r);
  ASSERT_GE(DrawUntilClean(gui), 1);

  for (int i = 0; i < kNumMorvanteControlPlaces; ++i) {
    const MorvanteControlPlace& place = kMorvanteControlPlaces[i];
    const int idx = i + 1;
    SCOPED_TRACE(place.image.file);
    double value = 0.0;
    if (place.kind == kControlMeter) {
      value = plug.Band(kMeterBands[idx - kFirstMeterIdx]).meter.GetState();
      EXPECT_EQ(gui->GetControl(idx)->GetValue(), value);
    } else {
      value = plug.GetParam(place.paramIdx)->GetNormalized();
    }
    const int expected = IBitmapControl::FrameForValue(value, place.image.frames);
    EXPECT_EQ(FrameShown(gui, idx), expected);
    LICE_MemBitmap drawn, composed;
    CopyDrawnArea(gui, *gui->GetControl(idx)->GetRECT(), &drawn);
    ComposeFrameOverBackground(gui, idx, expected, &composed);
    EXPECT_EQ(CountDifferentPixels(&drawn, &composed), 0);
  }
}

// Meters are fed during processing; every poll shows the latest value.
TEST(MorvanteEditor, MetersFollowTheProcessing) {
  TestMorvante plug;
  plug.SetParam(kLowThreshold, 40.0);
  plug.SetParam(kLowRatio, 10.0);
  plug.SetParam(kMidThreshold, 30.0);
  IGraphics* gui = plug.GetGUI();
  DrawUntilClean(gui);
  ProgramSignal signal(44100.0, 9);
  std::vector<int> lowFrames;
  for (int block = 0; block < 40; ++block) {
    std::vector<double> l(1024), r(1024);
    for (size_t i = 0; i < l.size(); ++i) l[i] = r[i] = 0.9 * signal.Noise();
    plug.ProcessInPlace(l, r);
    IRECT dirty;
    ASSERT_TRUE(gui->IsDirty(&dirty));
    for (int m = 0; m < kNumMorvanteBands; ++m)
      EXPECT_EQ(dirty.Intersect(*gui->GetControl(kFirstMeterIdx + m)->GetRECT()),
                *gui->GetControl(kFirstMeterIdx + m)->GetRECT());
    DrawUntilClean(gui);
    for (int m = 0; m < kNumMorvanteBands; ++m) {
      const int idx = kFirstMeterIdx + m;
      const double sent = plug.Band(kMeterBands[m]).meter.GetState();
      // A control keeps its value within 0..1; the strip's last frame is full.
      ASSERT_EQ(gui->GetControl(idx)->GetValue(), sent < 0.0 ? 0.0 : (sent > 1.0 ? 1.0 : sent));
      const int frame = IBitmapControl::FrameForValue(sent, kNumMeterFrames);
      LICE_MemBitmap drawn, composed;
      CopyDrawnArea(gui, *gui->GetControl(idx)->GetRECT(), &drawn);
      ComposeFrameOverBackground(gui, idx, frame, &composed);
      ASSERT_EQ(CountDifferentPixels(&drawn, &composed), 0) << "meter " << idx << " block " << block;
    }
    lowFrames.push_back(FrameShown(gui, kFirstMeterIdx));
  }
  // The fresh meters start full and fall; the Low band then holds a
  // reduction the Mid band, with a higher threshold left, does not match.
  EXPECT_EQ(FrameShown(gui, kFirstMeterIdx), IBitmapControl::FrameForValue(
                                                 plug.Band(kBandLow).meter.GetState(), kNumMeterFrames));
  EXPECT_NE(lowFrames.front(), lowFrames.back());
}

TEST(MorvanteEditor, DraggingLowGainShowsItsNameAndValue) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  DragKnobTo(plug, kLowGainKnobIdx, kLowGain, 3.5);
  const double gain = plug.GetParam(kLowGain)->Value();
  EXPECT_NEAR(gain, 3.5, 0.03);
  char expected[32];
  std::snprintf(expected, sizeof(expected), "%.2f dB", gain);
  EXPECT_STREQ(Text(gui, kNameReadoutIdx), "Low Gain");
  EXPECT_STREQ(Text(gui, kValueReadoutIdx), expected);
  EXPECT_EQ(plug.Band(kBandLow).gain, gain);

  // A drag below the end stops at the range's minimum.
  Drag(gui, kLowGainKnobIdx, -2000);
  EXPECT_EQ(plug.GetParam(kLowGain)->Value(), -24.0);
  EXPECT_STREQ(Text(gui, kValueReadoutIdx), "-24.00 dB");
}

TEST(MorvanteEditor, TheBypassSwitchShowsItsValueAndAnEmptyName) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  Drag(gui, kLowGainKnobIdx, 10);
  ASSERT_STREQ(Text(gui, kNameReadoutIdx), "Low Gain");
  int x = 0, y = 0;
  ControlCentre(gui, kBypassSwitchIdx, &x, &y);
  Click(gui, x, y);
  EXPECT_EQ(plug.GetParam(kBypass)->Value(), 1.0);
  EXPECT_EQ(FrameShown(gui, kBypassSwitchIdx), 2);
  char display[32];
  plug.GetParam(kBypass)->GetDisplayForHost(display);
  EXPECT_STREQ(Text(gui, kValueReadoutIdx), (std::string(display) + " ").c_str());
  EXPECT_STREQ(Text(gui, kNameReadoutIdx), "");
  Click(gui, x, y);
  EXPECT_EQ(plug.GetParam(kBypass)->Value(), 0.0);

  // A detector switch toggles the same way and names itself.
  ControlCentre(gui, 1, &x, &y);
  Click(gui, x, y);
  EXPECT_EQ(plug.GetParam(kModeLow)->Int(), 1);
  EXPECT_STREQ(Text(gui, kNameReadoutIdx), "MODE-L");
  EXPECT_STREQ(Text(gui, kValueReadoutIdx), "1 ");
}

TEST(MorvanteEditor, DoubleClickRestoresAKnobsDefault) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  const int lowFrequencyKnob = 22;
  Drag(gui, lowFrequencyKnob, 60);
  ASSERT_NE(plug.GetParam(kLowFrequency)->Value(), 510.0);
  int x = 0, y = 0;
  ControlCentre(gui, lowFrequencyKnob, &x, &y);
  IMouseMod mod(true);
  gui->OnMouseDblClick(x, y, &mod);
  gui->OnMouseUp(x, y, &mod);
  EXPECT_NEAR(plug.GetParam(kLowFrequency)->Value(), 510.0, 1e-9);
  EXPECT_EQ(plug.Band(kBandLow).frequency, plug.GetParam(kLowFrequency)->Value());
  EXPECT_STREQ(Text(gui, kValueReadoutIdx), "510.00 Hz");
}

TEST(MorvanteEditor, APressOnTheLinkAsksForTheProductPage) {
  TestMorvante plug;
  IGraphicsLinux* gui = EditorOf(plug);
  std::vector<std::string> opened;
  gui->SetURLOpener([&](const char* url) {
    opened.emplace_back(url);
    return true;
  });
  Click(gui, 1200, 580);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], kProductPageURL);
  Click(gui, 1119, 580);  // beside the link: the background
  EXPECT_EQ(opened.size(), 1u);
}

// The readouts answer the user only: neither the host's changes nor a
// preset's touch them, though the knobs follow.
TEST(MorvanteEditor, HostAndPresetChangesLeaveTheReadoutsAlone) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  DragKnobTo(plug, kLowGainKnobIdx, kLowGain, 6.0);
  const std::string name = Text(gui, kNameReadoutIdx), value = Text(gui, kValueReadoutIdx);
  ASSERT_EQ(name, "Low Gain");
  DrawUntilClean(gui);

  gui->SetParameterFromPlug(kLowGain, 0.25, true);
  gui->SetParameterFromPlug(kHighFrequency, 12000.0, false);
  EXPECT_EQ(gui->GetControl(kLowGainKnobIdx)->GetValue(), 0.25);
  plug.RestorePreset(0);
  EXPECT_EQ(gui->GetControl(kLowGainKnobIdx)->GetValue(), 0.5);
  EXPECT_EQ(Text(gui, kNameReadoutIdx), name);
  EXPECT_EQ(Text(gui, kValueReadoutIdx), value);
  EXPECT_FALSE(gui->GetControl(kNameReadoutIdx)->IsDirty());
  EXPECT_FALSE(gui->GetControl(kValueReadoutIdx)->IsDirty());
}

namespace {

// The area of the draw bitmap around the readouts that differs from the
// background image; empty when nothing does.
IRECT TextDrawnNearReadouts(IGraphics* gui) {
  LICE_IBitmap* drawn = gui->GetDrawBitmap();
  LICE_IBitmap* bg = s_bitmapCache.Find(kBackgroundImageId);
  IRECT box;
  for (int y = 0; y < 74; ++y)
    for (int x = 0; x < 141; ++x)
      if (drawn->getBits()[y * drawn->getRowSpan() + x] != bg->getBits()[y * bg->getRowSpan() + x])
        box = box.Union(IRECT(x, y, x + 1, y + 1));
  return box;
}

// Everything drawn so far, against the same editor drawn afresh in one pass.
int DifferencesFromAFullRedraw(IGraphics* gui) {
  const IRECT all(0, 0, gui->Width(), gui->Height());
  LICE_MemBitmap before, after;
  CopyDrawnArea(gui, all, &before);
  gui->SetAllControlsDirty();
  IRECT dirty;
  gui->IsDirty(&dirty);
  gui->Draw(&dirty);
  CopyDrawnArea(gui, all, &after);
  DrawUntilClean(gui);
  return CountDifferentPixels(&before, &after);
}

}  // namespace

// Every name and every value text the editor can show fits the readouts'
// text area, which ends before the first meter.
TEST(MorvanteEditor, EveryReadoutTextFitsItsArea) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  auto* readout = static_cast<ITextControl*>(gui->GetControl(kValueReadoutIdx));
  const IRECT paint = readout->GetPaintRECT();
  EXPECT_LE(paint.R, 141);
  for (int p = 0; p < kNumMorvanteParams; ++p) {
    const IParam* param = plug.GetParam(p);
    std::vector<std::string> texts = {param->GetNameForHost()};
    for (double v : {param->Min(), param->Max(), param->Default()}) {
      char display[64];
      param->GetDisplayForHost(v, false, display);
      texts.push_back(std::string(display) + " " + param->GetLabelForHost());
    }
    for (const std::string& text : texts) {
      IRECT r = *readout->GetRECT();
      ASSERT_TRUE(gui->MeasureIText(readout->GetText(), text.c_str(), &r));
      EXPECT_LE(r.R - r.L, MorvanteReadout::kTextWidth) << text;
      EXPECT_LE(r.B - r.T, MorvanteReadout::TextHeight(*readout->GetText())) << text;
    }
  }
}

// The value readout is zero pixels high and both texts run on past their
// rectangles: redraws must still take each text whole, and a shorter text
// must leave nothing of a longer one behind.
TEST(MorvanteEditor, ReadoutsReachTheScreenWholeAndClean) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  DrawUntilClean(gui);
  EXPECT_TRUE(TextDrawnNearReadouts(gui).Empty());

  const int highMidFrequencyKnob = 12;
  Drag(gui, highMidFrequencyKnob, 1000);
  ASSERT_STREQ(Text(gui, kNameReadoutIdx), "High Mid Frequency");
  ASSERT_STREQ(Text(gui, kValueReadoutIdx), "15000.00 Hz");
  DrawUntilClean(gui);
  const IRECT text = TextDrawnNearReadouts(gui);
  const IRECT nameArea = gui->GetControl(kNameReadoutIdx)->GetPaintRECT();
  const IRECT valueArea = gui->GetControl(kValueReadoutIdx)->GetPaintRECT();
  EXPECT_GT(text.R, 60 + 20) << Describe(text);  // past the rectangles' right edge
  EXPECT_GT(text.B, 30 + 8) << Describe(text);   // well below the value readout's top
  EXPECT_EQ(text.Intersect(nameArea.Union(valueArea)), text) << Describe(text);
  EXPECT_EQ(DifferencesFromAFullRedraw(gui), 0);

  // Shorter texts over longer ones.
  Drag(gui, kLowGainKnobIdx, 3);
  ASSERT_STREQ(Text(gui, kNameReadoutIdx), "Low Gain");
  DrawUntilClean(gui);
  EXPECT_EQ(DifferencesFromAFullRedraw(gui), 0);
  int x = 0, y = 0;
  ControlCentre(gui, kBypassSwitchIdx, &x, &y);
  Click(gui, x, y);
  DrawUntilClean(gui);
  EXPECT_EQ(DifferencesFromAFullRedraw(gui), 0);

  // A window system's partial redraws (an uncovered strip) keep them whole.
  Drag(gui, highMidFrequencyKnob, -1000);
  DrawUntilClean(gui);
  for (IRECT strip : {IRECT(0, 35, 200, 100), IRECT(70, 0, 200, 28), IRECT(0, 0, 1220, 31)}) {
    gui->Draw(&strip);
    EXPECT_EQ(DifferencesFromAFullRedraw(gui), 0) << Describe(strip);
  }
}

namespace {

bool WriteSnapshot(IGraphics* gui, const char* name) {
  mkdir(MORVANTE_SNAPSHOT_DIR, 0755);
  const std::string path = std::string(MORVANTE_SNAPSHOT_DIR) + "/" + name;
  return LICE_WritePNG(path.c_str(), gui->GetDrawBitmap());
}

}  // namespace

// Pictures of the whole editor for a person to judge: written into the build
// tree, read back to prove they hold what was drawn.
TEST(MorvanteEditor, SnapshotsOfTheDefaultAndAWorkedEditor) {
  {
    TestMorvante plug;
    IGraphics* gui = plug.GetGUI();
    DrawUntilClean(gui);
    ASSERT_TRUE(WriteSnapshot(gui, "editor-default.png"));
    LICE_IBitmap* readBack = LICE_LoadPNG(MORVANTE_SNAPSHOT_DIR "/editor-default.png");
    ASSERT_NE(readBack, nullptr);
    LICE_MemBitmap drawn;
    CopyDrawnArea(gui, IRECT(0, 0, 1220, 590), &drawn);
    EXPECT_EQ(CountDifferentPixels(readBack, &drawn), 0);
    delete readBack;
  }

  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  DrawUntilClean(gui);
  // A user's session: thresholds up on four bands, gains and frequencies
  // moved, the Low Mid detector on the channel sum, and the bypass lit.
  DragKnobTo(plug, 33, kLowThreshold, 9.0);
  DragKnobTo(plug, 31, kLowRatio, 3.0);
  DragKnobTo(plug, 23, kLowGain, 6.5);
  DragKnobTo(plug, 30, kLowMidThreshold, 16.0);
  DragKnobTo(plug, 27, kLowMidGain, -9.0);
  DragKnobTo(plug, 26, kLowMidFrequency, 900.0);
  DragKnobTo(plug, 40, kMidThreshold, 20.0);
  DragKnobTo(plug, 36, kMidFrequency, 2500.0);
  DragKnobTo(plug, 16, kHighMidThreshold, 26.0);
  DragKnobTo(plug, 19, kHighThreshold, 12.0);
  DragKnobTo(plug, 9, kHighGain, -4.0);
  DragKnobTo(plug, 18, kHighRelease, 800.0);
  DragKnobTo(plug, 47, kOutput, -3.0);
  int x = 0, y = 0;
  ControlCentre(gui, 2, &x, &y);
  Click(gui, x, y);
  ControlCentre(gui, kBypassSwitchIdx, &x, &y);
  Click(gui, x, y);
  ASSERT_EQ(plug.GetParam(kModeLowMid)->Int(), 1);
  ASSERT_EQ(plug.GetParam(kBypass)->Int(), 1);
  // Then a loud signal: a low tone, a mid tone and noise.
  ProgramSignal signal(44100.0, 21);
  for (int block = 0; block < 20; ++block) {
    std::vector<double> l(2205), r(2205);
    for (size_t i = 0; i < l.size(); ++i) {
      const double t = (block * 2205.0 + static_cast<double>(i)) / 44100.0;
      l[i] = 0.5 * std::sin(2.0 * M_PI * 120.0 * t) + 0.3 * std::sin(2.0 * M_PI * 1800.0 * t) + 0.2 * signal.Noise();
      r[i] = 0.9 * l[i];
    }
    plug.ProcessInPlace(l, r);
    DrawUntilClean(gui);
  }
  DragKnobTo(plug, 23, kLowGain, 6.0);
  DrawUntilClean(gui);
  ASSERT_TRUE(WriteSnapshot(gui, "editor-worked.png"));
  // The meters stand at different levels, none pinned at an end.
  std::vector<int> frames;
  for (int m = 0; m < kNumMorvanteBands; ++m) {
    frames.push_back(FrameShown(gui, kFirstMeterIdx + m));
    EXPECT_GT(frames.back(), 1) << m;
    EXPECT_LT(frames.back(), kNumMeterFrames) << m;
  }
  std::sort(frames.begin(), frames.end());
  EXPECT_EQ(std::unique(frames.begin(), frames.end()) - frames.begin(), kNumMorvanteBands);
  EXPECT_STREQ(Text(gui, kNameReadoutIdx), "Low Gain");
  EXPECT_STREQ(Text(gui, kValueReadoutIdx), "6.00 dB");
}
