// The editor the effect's constructor builds: its control list, images and
// geometry, and what it shows of the parameters and the meters.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "effect/morvante_display_switch.h"
#include "graphics/bitmap_storage.h"
#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/controls/iswitch_control.h"
#include "graphics/controls/itext_control.h"
#include "graphics/controls/iurl_control.h"
#include "lice/lice_blit.h"
#include "lice/lice_fill.h"
#include "lice/lice_png.h"
#include "lice/lice_sysbitmap.h"
#include "tests/effect/editor_test_support.h"
#include "tests/effect/test_signal.h"

namespace {
// Whether two areas share a pixel.
bool Overlap(const IRECT& a, const IRECT& b) { return a.L < b.R && b.L < a.R && a.T < b.B && b.T < a.B; }
}  // namespace

TEST(MorvanteEditor, ControlsFollowTheLayoutInOrder) {
  TestMorvante plug;
  IGraphicsLinux* gui = EditorOf(plug);
  ASSERT_NE(gui, nullptr);
  EXPECT_STREQ(gui->GetBundleID(), "com.Penvarrowsonics.vst3.MORVANTE");
  EXPECT_EQ(gui->Width(), 1220);
  EXPECT_EQ(gui->Height(), 590);
  EXPECT_EQ(gui->FPS(), 25);
  ASSERT_EQ(gui->NControls(), 53);
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

  // Under the panel the display strip, hidden until its switch opens it;
  // the switch drives no parameter.
  IControl* display = gui->GetControl(kDisplayIdx);
  EXPECT_EQ(*display->GetRECT(), IRECT(0, 590, 1220, 790));
  EXPECT_TRUE(display->IsHidden());
  auto* displaySwitch = dynamic_cast<MorvanteDisplaySwitch*>(gui->GetControl(kDisplaySwitchIdx));
  ASSERT_NE(displaySwitch, nullptr);
  EXPECT_EQ(*displaySwitch->GetRECT(), IRECT(14, 62, 114, 84));
  EXPECT_EQ(displaySwitch->ParamIdx(), -1);
  EXPECT_FALSE(displaySwitch->IsLit());

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

  for (int i = 0; i < kNumMorvanteControlPlaces; ++i) {
    const MorvanteControlPlace& place = kMorvanteControlPlaces[i];
    SCOPED_TRACE(place.image.file);
    LICE_IBitmap* image = s_bitmapCache.Find(place.image.id);
    ASSERT_NE(image, nullptr);
    const MorvanteFrameSize frame = FrameSizeOf(place);
    EXPECT_EQ(image->getWidth(), frame.width);
    EXPECT_EQ(image->getHeight(), frame.height * place.image.frames);
    const IRECT& r = *gui->GetControl(i + 1)->GetRECT();
    EXPECT_EQ(r.W(), frame.width);
    EXPECT_EQ(r.H(), frame.height);
  }
}

// The background lies under everything, the link reaches below the panel's
// edge and the display strip lies under it; nothing else may touch another
// control or leave the panel.
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
    if (idx == kDisplayIdx) {
      EXPECT_EQ(area, IRECT(0, 590, 1220, 790)) << Describe(area);
      areas.back() = IRECT();
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
  ProgramSignal signal(44100.0, 9);
  auto processLoudBlock = [&] {
    std::vector<double> l(1024), r(1024);
    for (size_t i = 0; i < l.size(); ++i) l[i] = r[i] = 0.9 * signal.Noise();
    plug.ProcessInPlace(l, r);
    // The editor's timer reads what the block published.
    gui->OnGUIIdle();
  };
  // The first value a meter is sent becomes its default without a redraw;
  // every later block's value is drawn.
  processLoudBlock();
  DrawUntilClean(gui);
  std::vector<int> lowFrames;
  for (int block = 0; block < 40; ++block) {
    processLoudBlock();
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

// At 100 % the editor is the picture it has always been, also after a round
// trip through 200 %: every pixel equals the background with each control's
// frame blitted over it by the raster library directly, the way the engine
// drew before it had a scale. At 200 % the background is its 2x image as
// drawn, pixel for pixel.
TEST(MorvanteEditor, At100PercentEveryPixelIsTheUnscaledPictureAndAt200TheTwiceSizeArtwork) {
  TestMorvante plug;
  IGraphics* gui = plug.GetGUI();
  std::vector<double> l(2000), r(2000);
  ProgramSignal signal(44100.0, 7);
  for (size_t i = 0; i < l.size(); ++i) l[i] = r[i] = 0.8 * signal.Noise();
  plug.ProcessInPlace(l, r);

  gui->SetScalePercent(200);
  DrawUntilClean(gui);
  LICE_SysBitmap* drawn = gui->GetDrawBitmap();
  ASSERT_EQ(drawn->getWidth(), 2440);
  ASSERT_EQ(drawn->getHeight(), 1180);
  std::unique_ptr<LICE_IBitmap> background2x(
      LICE_LoadPNG(MORVANTE_BUNDLE_RESOURCES "/BG@2x.png"));
  ASSERT_NE(background2x, nullptr);
  // The left strip under the display switch holds no control: background
  // only.
  const IRECT strip(0, 2 * kDisplaySwitchBottom, 250, 1060);
  int differences = 0;
  for (int y = strip.T; y < strip.B; ++y)
    for (int x = strip.L; x < strip.R; ++x) differences += LICE_GetPixel(drawn, x, y) != LICE_GetPixel(background2x.get(), x, y);
  EXPECT_EQ(differences, 0);

  gui->SetScalePercent(100);
  DrawUntilClean(gui);
  LICE_MemBitmap reference(kEditorWidth, kEditorHeight);
  IBitmap* background = static_cast<IBitmapControl*>(gui->GetControl(0))->GetBitmap();
  LICE_Blit(&reference, background->mData, 0, 0, 0, 0, kEditorWidth, kEditorHeight, 1.0f, 0);
  for (int idx = 1; idx <= kNumMorvanteControlPlaces; ++idx) {
    IControl* control = gui->GetControl(idx);
    IBitmap* image = ImageOf(control);
    const IRECT& c = *control->GetRECT();
    LICE_Blit(&reference, image->mData, c.L, c.T, 0, image->FrameOffset(FrameShown(gui, idx)), c.W(), c.H(), 1.0f,
              IChannelBlend::RasterMode(control->GetBlend()));
  }
  // The display switch is drawn, not an image: both pictures leave it out.
  for (LICE_IBitmap* picture : {static_cast<LICE_IBitmap*>(gui->GetDrawBitmap()), static_cast<LICE_IBitmap*>(&reference)})
    LICE_FillRect(picture, kDisplaySwitchLeft, kDisplaySwitchTop, kDisplaySwitchRight - kDisplaySwitchLeft,
                  kDisplaySwitchBottom - kDisplaySwitchTop, 0, 1.0f, 0);
  EXPECT_EQ(CountDifferentPixels(gui->GetDrawBitmap(), &reference), 0);
}
