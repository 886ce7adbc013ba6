#include <gtest/gtest.h>

#include "graphics/controls/ifader_control.h"
#include "tests/graphics/controls/controls_test_support.h"

namespace {
// A vertical track of 110 pixels at (10, 10) with a 20 x 10 handle: 100
// pixels of travel.
IFaderControl* AttachFader(ControlsTestEditor& editor, EDirection direction = kVertical, bool onlyHandle = false) {
  const IBitmap handle = direction == kVertical ? editor.Strip(1, 20, 10) : editor.Strip(1, 10, 20);
  auto* fader = new IFaderControl(&editor.plug, 10, 10, 110, kGain, handle, direction, onlyHandle);
  editor.gui->AttachControl(fader);
  editor.Attach();
  return fader;
}
}  // namespace

TEST(IFaderControl, TrackIsAsWideAsTheHandle) {
  ControlsTestEditor editor;
  IFaderControl* fader = AttachFader(editor);
  EXPECT_EQ(*fader->GetRECT(), IRECT(10, 10, 30, 120));
  EXPECT_EQ(fader->GetHandleLength(), 10);
  // Gain starts in the middle: handle 50 pixels down the travel.
  EXPECT_EQ(fader->GetHandleRECT(), IRECT(10, 60, 30, 70));
}

TEST(IFaderControl, PressAndDragPutTheHandleCentreUnderThePointer) {
  ControlsTestEditor editor;
  IFaderControl* fader = AttachFader(editor);
  IMouseMod left(true);
  editor.gui->OnMouseDown(15, 15, &left);  // handle centre at the top
  EXPECT_DOUBLE_EQ(fader->GetValue(), 1.0);
  EXPECT_EQ(fader->GetHandleRECT(), IRECT(10, 10, 30, 20));
  editor.gui->OnMouseDrag(15, 95, &left);  // 80 down the travel
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.2);
  EXPECT_DOUBLE_EQ(editor.plug.informed.back(), 0.2);
  editor.gui->OnMouseDrag(15, 500, &left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.0);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(15, 115), FramePixel(1));
  EXPECT_EQ(editor.Pixel(15, 105), 0u);
}

TEST(IFaderControl, HorizontalFaderGrowsToTheRight) {
  ControlsTestEditor editor;
  IFaderControl* fader = AttachFader(editor, kHorizontal);
  EXPECT_EQ(*fader->GetRECT(), IRECT(10, 10, 120, 30));
  fader->SnapToMouse(10 + 5 + 25, 0);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.25);
  EXPECT_EQ(fader->GetHandleRECT(), IRECT(35, 10, 45, 30));
}

TEST(IFaderControl, WheelAsAKnobAndSecondaryButtonPrompts) {
  ControlsTestEditor editor;
  IFaderControl* fader = AttachFader(editor);
  IMouseMod none;
  fader->OnMouseWheel(15, 15, &none, 2);
  EXPECT_NEAR(fader->GetValue(), 0.52, 1e-12);
  IMouseMod fine(false, false, false, true);
  fader->OnMouseWheel(15, 15, &fine, 2);
  EXPECT_NEAR(fader->GetValue(), 0.522, 1e-12);
  fader->DisablePrompt(false);
  IMouseMod right(false, true);
  fader->OnMouseDown(15, 15, &right);
  EXPECT_EQ(editor.gui->TextEntryRequests().size(), 1u);
  EXPECT_NEAR(fader->GetValue(), 0.522, 1e-12);
}

TEST(IFaderControl, OnlyHandleHitsLimitsTheTarget) {
  ControlsTestEditor editor;
  IFaderControl* fader = AttachFader(editor, kVertical, true);
  EXPECT_TRUE(fader->IsHit(15, 65));
  EXPECT_FALSE(fader->IsHit(15, 15));
  IMouseMod left(true);
  editor.gui->OnMouseDown(15, 15, &left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.5);
}

TEST(IFaderControl, HandleAsLongAsTheTrackCannotMove) {
  ControlsTestEditor editor;
  auto* fader = new IFaderControl(&editor.plug, 0, 0, 10, kGain, editor.Strip(1, 10, 10));
  editor.gui->AttachControl(fader);
  editor.Attach();
  fader->SnapToMouse(5, 5);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.0);
  EXPECT_EQ(fader->GetHandleRECT(), IRECT(0, 0, 10, 10));
}
