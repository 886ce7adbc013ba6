// The user's gestures on the editor: knobs, switches and the link, and the
// readouts they fill.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/effect/editor_test_support.h"

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
