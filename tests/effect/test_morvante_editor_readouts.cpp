// The readouts' text reaches the screen whole, and a shorter text leaves
// nothing of a longer one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effect/morvante_readout.h"
#include "graphics/bitmap_storage.h"
#include "graphics/controls/itext_control.h"
#include "lice/lice_sysbitmap.h"
#include "tests/effect/editor_test_support.h"

namespace {

// The area of the draw bitmap around the readouts that differs from the
// background image; empty when nothing does.
IRECT TextDrawnNearReadouts(IGraphics* gui) {
  LICE_IBitmap* drawn = gui->GetDrawBitmap();
  LICE_IBitmap* bg = s_bitmapCache.Find(kBackgroundImageId);
  IRECT box;
  // Down to the display switch under them.
  for (int y = 0; y < kDisplaySwitchTop; ++y)
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
