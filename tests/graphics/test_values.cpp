#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

#include "graphics/controls/itext_control.h"
#include "graphics/igraphics_headless.h"
#include "lice/lice_sysbitmap.h"
#include "tests/graphics/graphics_test_support.h"

TEST(IGraphicsValues, SetControlFromPlugIgnoresIndicesOutsideTheList) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 100, 100);
  auto* a = AttachRecording(gui, &plug, IRECT(0, 0, 10, 10));
  auto* b = AttachRecording(gui, &plug, IRECT(0, 0, 10, 10));
  gui.SetControlFromPlug(-1, 0.3);
  gui.SetControlFromPlug(2, 0.3);
  gui.SetControlFromPlug(1000, 0.3);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.0);
  EXPECT_LT(a->GetDefaultValue(), 0.0);
  gui.SetControlFromPlug(1, 0.3);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.3);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.0);
}

TEST(IGraphicsValues, AttachControlReturnsTheIndex) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 100, 100);
  EXPECT_EQ(gui.AttachControl(new RecordingControl(&plug, IRECT())), 0);
  EXPECT_EQ(gui.AttachControl(new RecordingControl(&plug, IRECT())), 1);
  EXPECT_EQ(gui.NControls(), 2);
}

TEST(IGraphicsValues, SetParameterFromPlugNormalisesAndReachesBoundAndAuxiliaryControls) {
  GraphicsTestPlug plug;
  plug.GetParam(2)->InitDouble("Gain", 0.0, -10.0, 10.0, 0.1);
  IGraphicsHeadless gui(&plug, 100, 100);
  auto* bound = new RecordingControl(&plug, IRECT(), 2);
  auto* other = new RecordingControl(&plug, IRECT(), 1);
  auto* follower = new RecordingControl(&plug, IRECT(), -1);
  follower->AddAuxParam(3);
  follower->AddAuxParam(2);
  gui.AttachControl(bound);
  gui.AttachControl(other);
  gui.AttachControl(follower);
  gui.SetParameterFromPlug(2, 5.0, false);
  EXPECT_DOUBLE_EQ(bound->GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(bound->GetDefaultValue(), 0.75);
  EXPECT_DOUBLE_EQ(other->GetValue(), 0.0);
  EXPECT_EQ(follower->AuxParamIdx(2), 1);
  EXPECT_DOUBLE_EQ(follower->GetAuxParam(1)->mValue.load(), 0.75);
  EXPECT_DOUBLE_EQ(follower->GetAuxParam(0)->mValue.load(), 0.0);
  EXPECT_EQ(follower->GetAuxParam(2), nullptr);
  // A parameter the plug-in does not have is ignored rather than read.
  gui.SetParameterFromPlug(99, 5.0, false);
  // Values from the plug-in never travel back.
  EXPECT_TRUE(plug.informed.empty());
}

TEST(IControlValues, FirstPlugValueBecomesTheDefaultWithoutMarkingAChange) {
  GraphicsTestPlug plug;
  RecordingControl control(&plug, IRECT(0, 0, 10, 10), 0);
  control.SetClean();
  control.SetValueFromPlug(0.7);
  EXPECT_DOUBLE_EQ(control.GetDefaultValue(), 0.7);
  EXPECT_FALSE(control.IsDirty());
  EXPECT_FALSE(control.NeedsRedraw());
  control.SetValueFromPlug(0.7);
  EXPECT_FALSE(control.IsDirty());
  control.SetValueFromPlug(0.8);
  EXPECT_TRUE(control.IsDirty());
  EXPECT_TRUE(control.NeedsRedraw());
  control.SetClean();
  EXPECT_TRUE(control.IsDirty());
  control.SetClean();
  EXPECT_FALSE(control.IsDirty());
  EXPECT_DOUBLE_EQ(control.GetDefaultValue(), 0.7);
  EXPECT_TRUE(plug.informed.empty());
}

TEST(IControlValues, DoubleClickRestoresTheDefaultAndSendsIt) {
  GraphicsTestPlug plug;
  RecordingControl control(&plug, IRECT(0, 0, 10, 10), 1);
  control.IControl::OnMouseDblClick(0, 0, nullptr);  // no default yet: nothing
  EXPECT_TRUE(plug.informed.empty());
  control.SetValueFromPlug(0.25);
  control.SetValueFromUserInput(0.9);
  control.IControl::OnMouseDblClick(0, 0, nullptr);
  EXPECT_DOUBLE_EQ(control.GetValue(), 0.25);
  ASSERT_FALSE(plug.informed.empty());
  EXPECT_DOUBLE_EQ(plug.informed.back(), 0.25);
}

TEST(IControlValues, SetDirtyClampsBeforeSending) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 100, 100);
  auto* control = AttachRecording(gui, &plug, IRECT(0, 0, 10, 10), 0);
  control->SetValue(1.7);
  control->SetDirty(true);
  EXPECT_DOUBLE_EQ(control->GetValue(), 1.0);
  ASSERT_EQ(plug.informed.size(), 1u);
  EXPECT_DOUBLE_EQ(plug.informed[0], 1.0);

  gui.ClampControl(0, 0.2, 0.6, false);
  control->SetValue(0.1);
  control->SetDirty(true);
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.2);
  control->SetValue(0.9);
  control->SetDirty(false);
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.6);
  EXPECT_EQ(plug.informed.size(), 2u);
}

TEST(IControlValues, UserChangesUpdateTheDisplayControls) {
  GraphicsTestPlug plug;
  plug.GetParam(1)->InitDouble("Low Gain", 0.0, -12.0, 12.0, 0.1, "dB");
  plug.GetParam(2)->InitDouble("Mix", 0.0, 0.0, 1.0, 0.1);
  IGraphicsHeadless gui(&plug, 100, 100);
  IText style;
  auto* valueText = new ITextControl(&plug, IRECT(0, 0, 50, 10), &style);
  auto* nameText = new ITextControl(&plug, IRECT(0, 10, 50, 20), &style);
  auto* knob = new RecordingControl(&plug, IRECT(0, 20, 50, 70), 1);
  auto* mix = new RecordingControl(&plug, IRECT(50, 20, 100, 70), 2);
  gui.AttachControl(valueText);
  gui.AttachControl(nameText);
  gui.AttachControl(knob);
  gui.AttachControl(mix);
  for (RecordingControl* c : {knob, mix}) {
    c->SetValDisplayControl(valueText);
    c->SetNameDisplayControl(nameText);
  }
  valueText->SetClean();
  nameText->SetClean();

  knob->SetValueFromUserInput(0.6458333333333334);  // 3.5 dB
  EXPECT_STREQ(valueText->GetTextForPlug(), "3.5 dB");
  EXPECT_STREQ(nameText->GetTextForPlug(), "Low Gain");
  EXPECT_TRUE(valueText->IsDirty());
  EXPECT_NEAR(plug.GetParam(1)->Value(), 3.5, 1e-9);

  mix->SetValueFromUserInput(0.5);
  EXPECT_STREQ(valueText->GetTextForPlug(), "0.5 ");  // empty label, trailing space
  EXPECT_STREQ(nameText->GetTextForPlug(), "Mix");

  // The same text again does not mark the readout.
  valueText->SetClean();
  valueText->SetClean();
  valueText->SetTextFromPlug("0.5 ");
  EXPECT_FALSE(valueText->IsDirty());
}

TEST(IControlValues, HitNeedsATargetRectangle) {
  GraphicsTestPlug plug;
  RecordingControl none(&plug, IRECT());
  EXPECT_FALSE(none.IsHit(0, 0));
  RecordingControl some(&plug, IRECT(0, 0, 10, 10));
  EXPECT_TRUE(some.IsHit(0, 0));
  EXPECT_FALSE(some.IsHit(10, 5));
  some.SetTargetArea(IRECT(20, 20, 30, 30));
  EXPECT_FALSE(some.IsHit(5, 5));
  EXPECT_TRUE(some.IsHit(25, 25));
}

TEST(IGraphicsValues, HideGrayOutAndTooltipsFollowTheParameter) {
  GraphicsTestPlug plug;
  plug.GetParam(3)->InitDouble("Release", 0.0, 0.0, 1.0, 0.1);
  IGraphicsHeadless gui(&plug, 100, 100);
  auto* a = AttachRecording(gui, &plug, IRECT(), 3);
  auto* b = AttachRecording(gui, &plug, IRECT(), -1);
  gui.HideControl(3, true);
  gui.GrayOutControl(3, true);
  EXPECT_TRUE(a->IsHidden());
  EXPECT_TRUE(a->IsGrayed());
  EXPECT_FLOAT_EQ(a->GetBlend()->mWeight, 0.25f);
  EXPECT_FALSE(b->IsHidden());
  gui.GrayOutControl(3, false);
  EXPECT_FLOAT_EQ(a->GetBlend()->mWeight, 1.0f);
  gui.AssignParamNameToolTips();
  EXPECT_STREQ(a->GetTooltip(), "Release");
  EXPECT_STREQ(b->GetTooltip(), "");
}

TEST(IGraphicsValues, SetParameterFromGUIReachesEveryControlOfTheParameter) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 100, 100);
  auto* a = AttachRecording(gui, &plug, IRECT(), 1);
  auto* b = AttachRecording(gui, &plug, IRECT(), 1);
  gui.SetParameterFromGUI(1, 0.4);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.4);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.4);
  EXPECT_EQ(plug.informed.size(), 2u);
}

TEST(IGraphicsValues, TypedTextBecomesTheValue) {
  GraphicsTestPlug plug;
  plug.GetParam(0)->InitDouble("Depth", 0.0, -10.0, 10.0, 0.01);
  plug.GetParam(0)->SetNegateDisplay(true);
  IGraphicsHeadless gui(&plug, 100, 100);
  auto* control = AttachRecording(gui, &plug, IRECT(), 0);
  gui.SetFromStringAfterPrompt(control, plug.GetParam(0), "-4");
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 4.0);
  gui.SetFromStringAfterPrompt(control, plug.GetParam(0), "abc");
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 0.0);
  gui.SetFromStringAfterPrompt(control, nullptr, "5");
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 0.0);
}

TEST(IGraphicsValues, ResizeAndScaleKeepTheControlsAndTellThePlugInTheViewsSize) {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 100, 100);
  gui.PrepDraw();
  const int idx = gui.AttachControl(new RecordingControl(&plug, IRECT(10, 10, 20, 20)));
  IMouseMod mod(true);
  gui.OnMouseDown(12, 12, &mod);
  gui.Resize(40, 30);
  EXPECT_EQ(gui.NControls(), 1);
  EXPECT_EQ(gui.Width(), 40);
  ASSERT_NE(gui.GetDrawBitmap(), nullptr);
  EXPECT_EQ(gui.GetMouseCapture(), -1);
  // A scale: the same controls at the same editor coordinates, a bitmap and
  // a view of the scaled size (halves round up).
  gui.SetScalePercent(175);
  EXPECT_EQ(gui.NControls(), 1);
  EXPECT_EQ(*gui.GetControl(idx)->GetRECT(), IRECT(10, 10, 20, 20));
  EXPECT_EQ(gui.GetDrawBitmap()->getWidth(), 70);
  EXPECT_EQ(gui.GetDrawBitmap()->getHeight(), 53);
  // Off the steps: the nearest one, inside the range.
  gui.SetScalePercent(160);
  EXPECT_EQ(gui.ScalePercent(), 150);
  gui.SetScalePercent(900);
  EXPECT_EQ(gui.ScalePercent(), 200);
  gui.SetScalePercent(200);  // no change, nothing to tell
  EXPECT_EQ(plug.log, (std::vector<std::string>{"resize 40x30", "resize 70x53", "resize 60x45", "resize 80x60"}));
  EXPECT_FALSE(gui.SetHostScaleFactor(0.0));
  EXPECT_FALSE(gui.SetHostScaleFactor(-1.5));
  EXPECT_FALSE(gui.SetHostScaleFactor(std::nan("")));
  EXPECT_EQ(gui.ScalePercent(), 200);
  EXPECT_TRUE(gui.SetHostScaleFactor(0.5));  // clamped to the smallest
  EXPECT_EQ(gui.ViewWidth(), 40);
}
