#include <gtest/gtest.h>

#include <cmath>

#include "graphics/controls/iknob_control.h"
#include "graphics/controls/iknob_drawn_controls.h"
#include "tests/graphics/controls/controls_test_support.h"

namespace {
// A 50-pixel-tall knob on Gain (which starts at the middle, 0.5).
IKnobMultiControl* AttachKnob(ControlsTestEditor& editor, EDirection direction = kVertical) {
  auto* knob = new IKnobMultiControl(&editor.plug, 10, 10, kGain, editor.Strip(61, 40, 50), direction, 4.0);
  editor.gui->AttachControl(knob);
  editor.Attach();
  return knob;
}

void Drag(ControlsTestEditor& editor, int x0, int y0, int x1, int y1, IMouseMod* mod) {
  editor.gui->OnMouseDown(x0, y0, mod);
  editor.gui->OnMouseDrag(x1, y1, mod);
  editor.gui->OnMouseUp(x1, y1, mod);
}
}  // namespace

TEST(IKnobMultiControl, RectangleIsOneFrame) {
  ControlsTestEditor editor;
  IKnobMultiControl* knob = AttachKnob(editor);
  EXPECT_EQ(*knob->GetRECT(), IRECT(10, 10, 50, 60));
  EXPECT_EQ(*knob->GetTargetRECT(), IRECT(10, 10, 50, 60));
  EXPECT_EQ(knob->GetBlend()->mMethod, IChannelBlend::kBlendAlpha);
  EXPECT_TRUE(knob->IsPromptDisabled());
}

TEST(IKnobControl, DragUpTwentyPixelsOnAFiftyPixelKnobAddsATenth) {
  ControlsTestEditor editor;
  IKnobMultiControl* knob = AttachKnob(editor);
  IMouseMod left(true);
  Drag(editor, 20, 40, 20, 20, &left);
  EXPECT_NEAR(knob->GetValue(), 0.6, 1e-12);
  ASSERT_EQ(editor.plug.informed.size(), 1u);
  EXPECT_NEAR(editor.plug.informed[0], 0.6, 1e-12);
  EXPECT_NEAR(editor.plug.GetParam(kGain)->Value(), 2.4, 1e-9);
  // Moving down lowers it again.
  Drag(editor, 20, 20, 20, 40, &left);
  EXPECT_NEAR(knob->GetValue(), 0.5, 1e-12);
}

TEST(IKnobControl, ShiftOrControlMakeTheDragTenTimesFiner) {
  ControlsTestEditor editor;
  IKnobMultiControl* knob = AttachKnob(editor);
  IMouseMod shift(true, false, true);
  Drag(editor, 20, 40, 20, 20, &shift);
  EXPECT_NEAR(knob->GetValue(), 0.51, 1e-12);
  IMouseMod control(true, false, false, true);
  Drag(editor, 20, 40, 20, 20, &control);
  EXPECT_NEAR(knob->GetValue(), 0.52, 1e-12);
}

TEST(IKnobControl, DragBeyondTheEndStopsAtOneAndSendsOne) {
  ControlsTestEditor editor;
  IKnobMultiControl* knob = AttachKnob(editor);
  IMouseMod left(true);
  editor.gui->OnMouseDown(20, 40, &left);
  editor.gui->OnMouseDrag(20, -100, &left);  // 140 px up: +0.7
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(editor.plug.informed.back(), 1.0);
  // The clamp is applied before the next step: 10 px down is 1 - 0.05.
  editor.gui->OnMouseDrag(20, -90, &left);
  EXPECT_NEAR(knob->GetValue(), 0.95, 1e-12);
  editor.gui->OnMouseDrag(20, 500, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(editor.plug.informed.back(), 0.0);
}

TEST(IKnobControl, HorizontalKnobFollowsXOverItsWidth) {
  ControlsTestEditor editor;
  IKnobMultiControl* knob = AttachKnob(editor, kHorizontal);  // 40 wide
  IMouseMod left(true);
  Drag(editor, 20, 20, 36, 0, &left);  // +16 px right, vertical ignored
  EXPECT_NEAR(knob->GetValue(), 0.5 + 16.0 / 40.0 / 4.0, 1e-12);
}

TEST(IKnobControl, WheelStepsOfOneHundredthOrOneThousandth) {
  ControlsTestEditor editor;
  IKnobMultiControl* knob = AttachKnob(editor);
  IMouseMod none;
  editor.gui->OnMouseWheel(20, 20, &none, 3);
  EXPECT_NEAR(knob->GetValue(), 0.53, 1e-12);
  IMouseMod control(false, false, false, true);
  editor.gui->OnMouseWheel(20, 20, &control, 3);
  EXPECT_NEAR(knob->GetValue(), 0.533, 1e-12);
  IMouseMod shift(false, false, true);
  editor.gui->OnMouseWheel(20, 20, &shift, -5);
  EXPECT_NEAR(knob->GetValue(), 0.528, 1e-12);
  EXPECT_NEAR(editor.plug.informed.back(), 0.528, 1e-12);
  editor.gui->OnMouseWheel(20, 20, &none, -1000);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.0);
}

TEST(IKnobControl, DoubleClickRestoresTheValueFromWhenTheEditorWasAttached) {
  ControlsTestEditor editor;
  editor.plug.GetParam(kGain)->SetNormalized(0.25);
  IKnobMultiControl* knob = AttachKnob(editor);
  ASSERT_DOUBLE_EQ(knob->GetDefaultValue(), 0.25);
  // A preset moves the parameter later; the default stays.
  editor.plug.GetParam(kGain)->SetNormalized(0.9);
  editor.gui->SetParameterFromPlug(kGain, 0.9, true);
  ASSERT_DOUBLE_EQ(knob->GetValue(), 0.9);
  IMouseMod left(true);
  editor.gui->OnMouseDblClick(20, 20, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(editor.plug.informed.back(), 0.25);
  EXPECT_DOUBLE_EQ(editor.plug.GetParam(kGain)->GetNormalized(), 0.25);
}

TEST(IKnobControl, FlatKnobIgnoresDragsInsteadOfSendingNaN) {
  ControlsTestEditor editor;
  auto* flat = new BareKnob(&editor.plug, IRECT(0, 10, 30, 10), kGain);
  auto* geared = new BareKnob(&editor.plug, IRECT(40, 0, 60, 20), kRange, kVertical, 0.0);
  editor.gui->AttachControl(flat);
  editor.gui->AttachControl(geared);
  editor.Attach();
  IMouseMod left(true);
  flat->OnMouseDrag(5, 10, 3, 0, &left);
  flat->OnMouseDrag(5, 10, 0, -3, &left);
  geared->OnMouseDrag(45, 10, 0, -3, &left);
  EXPECT_DOUBLE_EQ(flat->GetValue(), 0.5);
  EXPECT_FALSE(std::isnan(geared->GetValue()));
  EXPECT_TRUE(editor.plug.informed.empty());
}

TEST(IKnobMultiControl, DrawsTheFrameForTheValue) {
  ControlsTestEditor editor;
  IKnobMultiControl* knob = AttachKnob(editor);
  const struct {
    double value;
    int frame;
  } cases[] = {{0.0, 1}, {0.5, 31}, {0.991, 60}, {1.0, 61}, {0.5 / 60.0, 2}, {0.49 / 60.0, 1}};
  for (const auto& c : cases) {
    knob->SetValue(c.value);
    editor.DrawAll();
    EXPECT_EQ(editor.Pixel(10, 10), FramePixel(c.frame)) << c.value;
    EXPECT_EQ(editor.Pixel(49, 59), FramePixel(c.frame)) << c.value;
  }
  // Frame 61 of a 61-frame strip of height 3660 starts at y = 3600.
  IBitmap strip = *knob->GetBitmap();
  ASSERT_EQ(strip.H, 3050);
  IBitmap tall(strip.mData, 40, 3660, 61);
  EXPECT_EQ(tall.FrameOffset(61), 3600);
  EXPECT_EQ(tall.FrameOffset(60), 3540);
}

TEST(IKnobLineControl, LineRunsFromInnerToOuterRadiusAtTheValuesAngle) {
  ControlsTestEditor editor;
  const IColor red(255, 255, 0, 0);
  // Straight up at 0, straight right at 1 (angles clockwise from up).
  auto* knob = new IKnobLineControl(&editor.plug, IRECT(0, 0, 41, 41), kGain, red, 0.0, M_PI / 2.0, 5.0);
  editor.gui->AttachControl(knob);
  editor.Attach();
  knob->SetValue(0.0);
  editor.DrawAll();
  EXPECT_EQ(editor.gui->GetPoint(20, 8), red);   // on the line, up
  EXPECT_NE(editor.gui->GetPoint(20, 18), red);  // inside the inner radius
  EXPECT_NE(editor.gui->GetPoint(32, 20), red);
  knob->SetValue(1.0);
  editor.DrawAll();
  EXPECT_EQ(editor.gui->GetPoint(32, 20), red);  // on the line, right
  EXPECT_EQ(knob->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
}

TEST(IKnobLineControl, AngleStaysWithinItsRangeForAnyValue) {
  ControlsTestEditor editor;
  IKnobLineControl knob(&editor.plug, IRECT(0, 0, 40, 40), kGain, COLOR_RED, -1.0, 2.0);
  knob.SetValue(0.5);
  EXPECT_DOUBLE_EQ(knob.Angle(), 0.5);
  knob.SetValue(7.0);
  EXPECT_DOUBLE_EQ(knob.Angle(), 2.0);
  knob.SetValue(std::nan(""));
  EXPECT_DOUBLE_EQ(knob.Angle(), -1.0);
}
