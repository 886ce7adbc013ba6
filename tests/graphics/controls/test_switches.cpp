#include <gtest/gtest.h>

#include "graphics/controls/ibutton_controls.h"
#include "graphics/controls/iswitch_control.h"
#include "graphics/controls/iswitch_frames_control.h"
#include "graphics/ipopup_menu.h"
#include "tests/graphics/controls/controls_test_support.h"

namespace {
// A switch at (0, 0) on Bypass (which starts at 0).
template <class Switch>
Switch* AttachSwitch(ControlsTestEditor& editor, int frames, int paramIdx = kBypass) {
  auto* control = new Switch(&editor.plug, 0, 0, paramIdx, editor.Strip(frames, 20, 10));
  editor.gui->AttachControl(control);
  editor.Attach();
  return control;
}
}  // namespace

TEST(ISwitchControl, TwoFramesToggleOnEveryPress) {
  ControlsTestEditor editor;
  auto* sw = AttachSwitch<ISwitchControl>(editor, 2);
  IMouseMod left(true);
  editor.gui->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
  EXPECT_TRUE(editor.plug.GetParam(kBypass)->Bool());
  editor.gui->OnMouseUp(5, 5, &left);
  editor.gui->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 0.0);
  EXPECT_FALSE(editor.plug.GetParam(kBypass)->Bool());
  // The secondary button steps too (outside VST3).
  IMouseMod right(false, true);
  editor.gui->OnMouseDown(5, 5, &right);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
  ASSERT_EQ(editor.plug.informed.size(), 3u);
}

TEST(ISwitchControl, ThreeFramesStepThroughAndWrap) {
  ControlsTestEditor editor;
  auto* sw = AttachSwitch<ISwitchControl>(editor, 3, kRange);
  sw->SetValue(0.0);
  IMouseMod left(true);
  const double expected[] = {0.5, 1.0, 0.0, 0.5};
  for (double e : expected) {
    sw->OnMouseDown(5, 5, &left);
    EXPECT_DOUBLE_EQ(sw->GetValue(), e);
    EXPECT_DOUBLE_EQ(editor.plug.informed.back(), e);
  }
}

TEST(ISwitchControl, ManyFramesWrapOnlyAfterTheLast) {
  ControlsTestEditor editor;
  auto* sw = AttachSwitch<ISwitchControl>(editor, 61, kRange);
  sw->SetValue(0.0);
  IMouseMod left(true);
  for (int i = 1; i <= 60; ++i) sw->OnMouseDown(5, 5, &left);
  EXPECT_NEAR(sw->GetValue(), 1.0, 1e-9);
  sw->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 0.0);
}

TEST(ISwitchControl, SingleFrameSwitchTogglesByWholeSteps) {
  ControlsTestEditor editor;
  auto* sw = AttachSwitch<ISwitchControl>(editor, 1);
  IMouseMod left(true);
  sw->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
  sw->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 0.0);
}

TEST(ISwitchControl, DoubleClickStepsAgain) {
  ControlsTestEditor editor;
  auto* sw = AttachSwitch<ISwitchControl>(editor, 2);
  IMouseMod left(true);
  editor.gui->OnMouseDown(5, 5, &left);
  editor.gui->OnMouseUp(5, 5, &left);
  editor.gui->OnMouseDblClick(5, 5, &left);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 0.0);
  EXPECT_EQ(editor.plug.informed.size(), 2u);
}

// A double-click does what the control's own press does, for every switch.
TEST(ISwitchFramesControl, DoubleClickPicksThePressedPosition) {
  ControlsTestEditor editor;
  auto* frames = AttachSwitch<ISwitchFramesControl>(editor, 3, kRange);
  IMouseMod left(true);
  editor.gui->OnMouseDown(5, 9, &left);
  editor.gui->OnMouseUp(5, 9, &left);
  EXPECT_DOUBLE_EQ(frames->GetValue(), 1.0);
  // Stepping on would wrap to 0; the pressed area is the last position.
  editor.gui->OnMouseDblClick(5, 9, &left);
  EXPECT_DOUBLE_EQ(frames->GetValue(), 1.0);
  editor.gui->OnMouseDblClick(5, 4, &left);
  EXPECT_DOUBLE_EQ(frames->GetValue(), 0.5);
}

TEST(ISwitchPopUpControl, DoubleClickOpensTheMenuLikeAPress) {
  ControlsTestEditor editor;
  auto* sw = AttachSwitch<ISwitchPopUpControl>(editor, 2, kMode);
  sw->DisablePrompt(false);
  for (int i = 0; i < 2; ++i)
    editor.gui->QueueMenuAnswer([](IPopupMenu* menu, IRECT*) {
      menu->SetChosenItemIdx(1);
      return menu;
    });
  IMouseMod left(true);
  editor.gui->OnMouseDown(5, 5, &left);
  editor.gui->OnMouseUp(5, 5, &left);
  editor.gui->OnMouseDblClick(5, 5, &left);
  EXPECT_EQ(editor.gui->NumMenusShown(), 2);
  // A toggle would have left "Sum"; both menus chose "Max".
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
  EXPECT_EQ(editor.plug.GetParam(kMode)->Int(), 1);
}

TEST(ISwitchControl, DrawsFrameOneForOffAndTwoForOn) {
  ControlsTestEditor editor;
  auto* sw = AttachSwitch<ISwitchControl>(editor, 2);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(0, 0), FramePixel(1));
  IMouseMod left(true);
  sw->OnMouseDown(5, 5, &left);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(19, 9), FramePixel(2));
  EXPECT_EQ(editor.Pixel(20, 9), 0u);  // nothing outside the frame
}

TEST(ISwitchPopUpControl, PressPromptsThenSendsTheValue) {
  ControlsTestEditor editor;
  auto* sw = AttachSwitch<ISwitchPopUpControl>(editor, 2, kMode);
  IMouseMod left(true);
  // Prompts start disabled: only the value is sent.
  sw->OnMouseDown(5, 5, &left);
  EXPECT_EQ(editor.gui->NumMenusShown(), 0);
  ASSERT_EQ(editor.plug.informed.size(), 1u);
  EXPECT_DOUBLE_EQ(editor.plug.informed[0], 1.0);
  sw->DisablePrompt(false);
  editor.gui->QueueMenuAnswer([](IPopupMenu* menu, IRECT*) {
    menu->SetChosenItemIdx(0);
    return menu;
  });
  sw->OnMouseDown(5, 5, &left);
  EXPECT_EQ(editor.gui->NumMenusShown(), 1);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 0.0);
  EXPECT_EQ(editor.plug.GetParam(kMode)->Int(), 0);
}

TEST(IContactControl, PressStepsAndReleaseReturnsToZero) {
  ControlsTestEditor editor;
  auto* contact = AttachSwitch<IContactControl>(editor, 2);
  IMouseMod left(true);
  editor.gui->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(contact->GetValue(), 1.0);
  editor.gui->OnMouseUp(5, 5, &left);
  EXPECT_DOUBLE_EQ(contact->GetValue(), 0.0);
  ASSERT_EQ(editor.plug.informed.size(), 2u);
  EXPECT_DOUBLE_EQ(editor.plug.informed[1], 0.0);
}

TEST(IBitmapOverlayControl, HiddenBelowAHalfAndHitOnlyInItsTargetArea) {
  ControlsTestEditor editor;
  const IRECT area(0, 0, 5, 5);
  auto* overlay = new IBitmapOverlayControl(&editor.plug, 0, 0, kBypass, editor.Strip(2, 20, 10), area);
  editor.gui->AttachControl(overlay);
  editor.Attach();
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(10, 5), 0u);
  EXPECT_EQ(*overlay->GetTargetRECT(), area);
  EXPECT_TRUE(overlay->IsHit(2, 2));
  EXPECT_FALSE(overlay->IsHit(10, 5));
  IMouseMod left(true);
  editor.gui->OnMouseDown(2, 2, &left);
  EXPECT_DOUBLE_EQ(overlay->GetValue(), 1.0);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(10, 5), FramePixel(2));
  EXPECT_TRUE(overlay->IsHit(10, 5));
}

TEST(ISwitchFramesControl, PressPicksThePositionUnderThePointer) {
  ControlsTestEditor editor;
  // Three stacked positions in one 20 x 10 frame: rows of 10 / 3 pixels,
  // edges 0, 3, 6, 10.
  auto* frames = AttachSwitch<ISwitchFramesControl>(editor, 3, kRange);
  EXPECT_FALSE(frames->IsPromptDisabled());
  ASSERT_EQ(frames->NHitRects(), 3);
  EXPECT_EQ(*frames->GetHitRect(0), IRECT(0, 0, 20, 3));
  EXPECT_EQ(*frames->GetHitRect(1), IRECT(0, 3, 20, 6));
  EXPECT_EQ(*frames->GetHitRect(2), IRECT(0, 6, 20, 10));
  EXPECT_EQ(frames->GetHitRect(3), nullptr);
  IMouseMod left(true);
  frames->OnMouseDown(5, 4, &left);
  EXPECT_DOUBLE_EQ(frames->GetValue(), 0.5);
  frames->OnMouseDown(5, 9, &left);
  EXPECT_DOUBLE_EQ(frames->GetValue(), 1.0);
  frames->OnMouseDown(5, 0, &left);
  EXPECT_DOUBLE_EQ(frames->GetValue(), 0.0);
  EXPECT_EQ(editor.plug.informed.size(), 3u);
  // Outside every position nothing happens.
  frames->OnMouseDown(25, 5, &left);
  EXPECT_EQ(editor.plug.informed.size(), 3u);
}

TEST(ISwitchFramesControl, ImageMappedPositionsAreColumnsAndSecondaryButtonPrompts) {
  ControlsTestEditor editor;
  auto* frames = new ISwitchFramesControl(&editor.plug, 10, 0, kRange, editor.Strip(4, 30, 10), true);
  editor.gui->AttachControl(frames);
  editor.Attach();
  // 30 / 4 = 7.5: edges 10, 17, 25, 32, 40.
  EXPECT_EQ(*frames->GetHitRect(1), IRECT(17, 0, 25, 10));
  EXPECT_EQ(*frames->GetHitRect(3), IRECT(32, 0, 40, 10));
  IMouseMod right(false, true);
  frames->OnMouseDown(20, 5, &right);
  EXPECT_EQ(editor.gui->TextEntryRequests().size(), 1u);
  EXPECT_TRUE(editor.plug.informed.empty());
  IMouseMod left(true);
  frames->OnMouseDown(20, 5, &left);
  EXPECT_DOUBLE_EQ(frames->GetValue(), 1.0 / 3.0);
}

TEST(ISwitchFramesControl, SinglePositionSetsZeroNotNaN) {
  ControlsTestEditor editor;
  auto* frames = AttachSwitch<ISwitchFramesControl>(editor, 1, kRange);
  frames->SetValue(0.7);
  IMouseMod left(true);
  frames->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(frames->GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(editor.plug.informed.back(), 0.0);
}

TEST(IInvisibleSwitchControl, PressTogglesAndNothingIsDrawn) {
  ControlsTestEditor editor;
  auto* sw = new IInvisibleSwitchControl(&editor.plug, IRECT(0, 0, 20, 20), kBypass);
  editor.gui->AttachControl(sw);
  editor.Attach();
  IMouseMod left(true);
  sw->OnMouseDown(1, 1, &left);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
  sw->OnMouseDown(1, 1, &left);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 0.0);
  sw->SetValue(0.49);
  sw->OnMouseDown(1, 1, &left);
  EXPECT_DOUBLE_EQ(sw->GetValue(), 1.0);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(5, 5), 0u);
}

TEST(IRadioButtonsControl, ButtonsSpreadEvenlyAndPressSelects) {
  ControlsTestEditor editor;
  // Three 10 x 10 buttons over 50 pixels: gaps of 10.
  auto* radio = new IRadioButtonsControl(&editor.plug, IRECT(0, 0, 50, 10), kRange, 3, editor.Strip(2, 10, 10),
                                         kHorizontal);
  editor.gui->AttachControl(radio);
  editor.Attach();
  ASSERT_EQ(radio->NButtons(), 3);
  EXPECT_EQ(*radio->GetButtonRect(0), IRECT(0, 0, 10, 10));
  EXPECT_EQ(*radio->GetButtonRect(1), IRECT(20, 0, 30, 10));
  EXPECT_EQ(*radio->GetButtonRect(2), IRECT(40, 0, 50, 10));
  IMouseMod left(true);
  radio->OnMouseDown(25, 5, &left);
  EXPECT_DOUBLE_EQ(radio->GetValue(), 0.5);
  radio->OnMouseDown(15, 5, &left);  // in a gap
  EXPECT_DOUBLE_EQ(radio->GetValue(), 0.5);
  EXPECT_EQ(editor.plug.informed.size(), 1u);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(5, 5), FramePixel(1));
  EXPECT_EQ(editor.Pixel(25, 5), FramePixel(2));
  EXPECT_EQ(editor.Pixel(45, 5), FramePixel(1));
  EXPECT_EQ(editor.Pixel(15, 5), 0u);
}

TEST(IRadioButtonsControl, ReversedVerticalButtonsStartAtTheBottom) {
  ControlsTestEditor editor;
  auto* radio = new IRadioButtonsControl(&editor.plug, IRECT(0, 0, 10, 40), kRange, 2, editor.Strip(2, 10, 10),
                                         kVertical, true);
  editor.gui->AttachControl(radio);
  editor.Attach();
  EXPECT_EQ(*radio->GetButtonRect(0), IRECT(0, 30, 10, 40));
  EXPECT_EQ(*radio->GetButtonRect(1), IRECT(0, 0, 10, 10));
  IMouseMod left(true);
  radio->OnMouseDown(5, 35, &left);
  EXPECT_DOUBLE_EQ(radio->GetValue(), 0.0);
  radio->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(radio->GetValue(), 1.0);
  EXPECT_EQ(radio->SelectedButton(), 1);
}

TEST(IRadioButtonsControl, OneButtonOrNoneIsSafe) {
  ControlsTestEditor editor;
  auto* one = new IRadioButtonsControl(&editor.plug, IRECT(0, 0, 40, 10), kRange, 1, editor.Strip(2, 10, 10));
  auto* none = new IRadioButtonsControl(&editor.plug, IRECT(0, 20, 40, 30), kSteps, 0, editor.Strip(2, 10, 10));
  editor.gui->AttachControl(one);
  editor.gui->AttachControl(none);
  editor.Attach();
  EXPECT_EQ(none->NButtons(), 1);
  IMouseMod left(true);
  one->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(one->GetValue(), 0.0);
  EXPECT_EQ(one->SelectedButton(), 0);
}
