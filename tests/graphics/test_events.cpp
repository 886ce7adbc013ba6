#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/igraphics_headless.h"
#include "tests/graphics/graphics_test_support.h"

using Strings = std::vector<std::string>;

namespace {
// Background at 0, then two overlapping controls: "low" (param 1) and "top"
// (param 2) which lies over low's right half.
struct Editor {
  GraphicsTestPlug plug;
  IGraphicsHeadless gui{&plug, 200, 100};
  RecordingControl* background = new RecordingControl(&plug, IRECT(0, 0, 200, 100), -1, "bg");
  RecordingControl* low = new RecordingControl(&plug, IRECT(10, 10, 60, 60), 1, "low");
  RecordingControl* top = new RecordingControl(&plug, IRECT(40, 10, 90, 60), 2, "top");

  Editor() {
    gui.AttachControl(background);
    gui.AttachControl(low);
    gui.AttachControl(top);
  }
};
}  // namespace

TEST(IGraphicsEvents, LaterControlsAreOnTop) {
  Editor e;
  EXPECT_EQ(e.gui.GetMouseControlIdx(50, 20), 2);
  EXPECT_EQ(e.gui.GetMouseControlIdx(20, 20), 1);
  EXPECT_EQ(e.gui.GetMouseControlIdx(150, 90), 0);
  EXPECT_EQ(e.gui.GetMouseControlIdx(250, 20), -1);
  // Right and bottom edges are outside.
  EXPECT_EQ(e.gui.GetMouseControlIdx(90, 20), 0);
}

TEST(IGraphicsEvents, HiddenAndGrayedControlsAreSkipped) {
  Editor e;
  e.top->Hide(true);
  EXPECT_EQ(e.gui.GetMouseControlIdx(50, 20), 1);
  e.low->GrayOut(true);
  EXPECT_EQ(e.gui.GetMouseControlIdx(50, 20), 0);
  // Mouse-over may still reach a grayed control that asks for it.
  e.low->SetMOWhenGrayed(true);
  EXPECT_EQ(e.gui.GetMouseControlIdx(50, 20, true), 1);
  EXPECT_EQ(e.gui.GetMouseControlIdx(50, 20, false), 0);
}

TEST(IGraphicsEvents, PressCapturesAndReleaseEndsTheGesture) {
  Editor e;
  IMouseMod mod(true);
  e.gui.OnMouseDown(50, 20, &mod);
  EXPECT_EQ(e.gui.GetMouseCapture(), 2);
  EXPECT_EQ(e.gui.GetMouseX(), 50);
  EXPECT_EQ(e.gui.GetMouseY(), 20);
  // While captured, the pointer elsewhere still targets the captured control.
  EXPECT_EQ(e.gui.GetMouseControlIdx(150, 90), 2);
  e.gui.OnMouseUp(150, 90, &mod);
  EXPECT_EQ(e.gui.GetMouseCapture(), -1);
  EXPECT_EQ(e.gui.GetMouseX(), -1);
  EXPECT_EQ(e.gui.GetMouseY(), -1);
  EXPECT_EQ(e.top->events, (Strings{"top down 50,20", "top up 150,90"}));
  EXPECT_TRUE(e.background->events.empty());
  EXPECT_EQ(e.plug.log, (Strings{"begin 2", "end 2"}));
}

// The host keeps a parameter in "touch" from its beginEdit to its endEdit:
// a release ends the gesture its press began and no other.
TEST(IGraphicsEvents, AReleaseEndsOnlyTheGestureItsPressBegan) {
  Editor e;
  IMouseMod mod(true);
  e.gui.OnMouseUp(20, 20, &mod);
  EXPECT_EQ(e.low->events, (Strings{"low up 20,20"}));
  EXPECT_TRUE(e.plug.log.empty());
  // Pressed on the background, released over a knob: no gesture at all.
  e.gui.OnMouseDown(150, 90, &mod);
  e.gui.OnMouseUp(20, 20, &mod);
  EXPECT_TRUE(e.plug.log.empty());
  // Nothing under the pointer: nothing happens.
  e.gui.OnMouseUp(500, 500, &mod);
  EXPECT_TRUE(e.plug.log.empty());
  // A press whose release never came ends with the next press.
  e.gui.OnMouseDown(20, 20, &mod);
  e.gui.OnMouseDown(50, 20, &mod);
  e.gui.OnMouseUp(50, 20, &mod);
  e.gui.OnMouseUp(50, 20, &mod);
  EXPECT_EQ(e.plug.log, (Strings{"begin 1", "end 1", "begin 2", "end 2"}));
}

TEST(IGraphicsEvents, AGestureOpenWhenTheControlsGoEnds) {
  Editor e;
  IMouseMod mod(true);
  e.gui.OnMouseDown(20, 20, &mod);
  e.gui.EndMouseGesture();
  e.gui.EndMouseGesture();
  EXPECT_EQ(e.plug.log, (Strings{"begin 1", "end 1"}));
}

TEST(IGraphicsEvents, ControlsWithoutParameterStartNoGesture) {
  Editor e;
  IMouseMod mod(true);
  e.gui.OnMouseDown(150, 90, &mod);
  e.gui.OnMouseUp(150, 90, &mod);
  EXPECT_EQ(e.background->events, (Strings{"bg down 150,90", "bg up 150,90"}));
  EXPECT_TRUE(e.plug.log.empty());
}

TEST(IGraphicsEvents, DragsPassDeltasSinceTheLastHandledEventAndSkipRepeats) {
  Editor e;
  IMouseMod mod(true);
  e.gui.OnMouseDrag(20, 20, &mod);  // no capture: ignored
  EXPECT_TRUE(e.low->events.empty());
  e.gui.OnMouseDown(20, 20, &mod);
  e.gui.OnMouseDrag(20, 20, &mod);  // same as the press
  e.gui.OnMouseDrag(20, 15, &mod);
  e.gui.OnMouseDrag(20, 15, &mod);  // repeated
  e.gui.OnMouseDrag(23, 5, &mod);
  ASSERT_EQ(e.low->drags.size(), 2u);
  EXPECT_EQ(e.low->drags[0].dX, 0);
  EXPECT_EQ(e.low->drags[0].dY, -5);
  EXPECT_EQ(e.low->drags[1].dX, 3);
  EXPECT_EQ(e.low->drags[1].dY, -10);
  EXPECT_EQ(e.gui.GetMouseX(), 23);
  EXPECT_EQ(e.gui.GetMouseY(), 5);
}

TEST(IGraphicsEvents, SecondaryButtonOnAParameterOpensTheHostsMenuWhenItHasOne) {
  Editor e;
  IMouseMod right(false, true);
  e.gui.OnMouseDown(20, 30, &right);
  EXPECT_EQ(e.plug.log, (Strings{"menu 1 at 20,30"}));
  EXPECT_TRUE(e.low->events.empty());
  EXPECT_EQ(e.gui.GetMouseCapture(), -1);
  // Without a parameter the control gets the click.
  e.gui.OnMouseDown(150, 90, &right);
  EXPECT_EQ(e.background->events, (Strings{"bg down 150,90"}));
}

TEST(IGraphicsEvents, SecondaryButtonReachesTheControlWhenTheHostHasNoMenu) {
  GraphicsTestPlug plug(4, kAPIVST2);
  IGraphicsHeadless gui(&plug, 100, 100);
  auto* knob = AttachRecording(gui, &plug, IRECT(0, 0, 50, 50), 0, "knob");
  IMouseMod right(false, true);
  gui.OnMouseDown(5, 5, &right);
  EXPECT_EQ(knob->events, (Strings{"knob down 5,5"}));
  EXPECT_EQ(plug.log, (Strings{"begin 0"}));
}

// A double-click's edit is a gesture of its own, ended by its release.
TEST(IGraphicsEvents, DoubleClickReleasesCaptureAndBeginsAGesture) {
  Editor e;
  IMouseMod mod(true);
  e.gui.OnMouseDown(20, 20, &mod);
  EXPECT_FALSE(e.gui.OnMouseDblClick(50, 20, &mod));
  EXPECT_EQ(e.gui.GetMouseCapture(), -1);
  EXPECT_EQ(e.top->events, (Strings{"top dbl 50,20"}));
  e.gui.OnMouseUp(50, 20, &mod);
  EXPECT_EQ(e.plug.log, (Strings{"begin 1", "end 1", "begin 2", "end 2"}));

  e.plug.log.clear();
  e.top->SetDblAsSingleClick(true);
  EXPECT_TRUE(e.gui.OnMouseDblClick(50, 20, &mod));
  EXPECT_EQ(e.gui.GetMouseCapture(), 2);
  EXPECT_EQ(e.top->events.back(), "top down 50,20");
  EXPECT_EQ(e.plug.log, (Strings{"begin 2"}));
  e.gui.OnMouseUp(50, 20, &mod);
  EXPECT_EQ(e.plug.log, (Strings{"begin 2", "end 2"}));
  EXPECT_FALSE(e.gui.OnMouseDblClick(500, 500, &mod));
  // On the background: no gesture.
  e.gui.OnMouseDblClick(150, 90, &mod);
  e.gui.OnMouseUp(150, 90, &mod);
  EXPECT_EQ(e.plug.log.size(), 2u);
}

TEST(IGraphicsEvents, WheelGoesToTheCapturedControlOtherwiseToTheOneUnderThePointer) {
  Editor e;
  IMouseMod mod;
  e.gui.OnMouseWheel(20, 20, &mod, 3);
  EXPECT_EQ(e.low->wheel, 3);
  // On its own a wheel step is a whole gesture.
  EXPECT_EQ(e.plug.log, (Strings{"begin 1", "end 1"}));
  IMouseMod press(true);
  e.gui.OnMouseDown(50, 20, &press);
  e.gui.OnMouseWheel(20, 20, &mod, -2);
  EXPECT_EQ(e.top->wheel, -2);
  EXPECT_EQ(e.low->wheel, 3);
  // Within a press it belongs to the press's gesture.
  EXPECT_EQ(e.plug.log, (Strings{"begin 1", "end 1", "begin 2"}));
  // Over the background (no parameter) nothing is begun.
  e.gui.OnMouseUp(50, 20, &press);
  e.gui.OnMouseWheel(150, 90, &mod, 1);
  EXPECT_EQ(e.plug.log, (Strings{"begin 1", "end 1", "begin 2", "end 2"}));
}

TEST(IGraphicsEvents, MouseOverOnlyWhenEnabledAndTellsThePreviousControlItLeft) {
  Editor e;
  IMouseMod mod;
  EXPECT_FALSE(e.gui.OnMouseOver(20, 20, &mod));
  EXPECT_TRUE(e.low->events.empty());
  e.gui.HandleMouseOver(true);
  EXPECT_TRUE(e.gui.OnMouseOver(20, 20, &mod));
  EXPECT_TRUE(e.gui.OnMouseOver(21, 20, &mod));
  EXPECT_TRUE(e.gui.OnMouseOver(50, 20, &mod));
  EXPECT_EQ(e.low->events, (Strings{"low over 20,20", "low over 21,20", "low out"}));
  EXPECT_EQ(e.top->events, (Strings{"top over 50,20"}));
  EXPECT_EQ(e.gui.GetMouseOver(), 2);
  e.gui.OnMouseOut();
  EXPECT_EQ(e.gui.GetMouseOver(), -1);
  EXPECT_EQ(e.background->events, (Strings{"bg out"}));
}

TEST(IGraphicsEvents, KeysOverTheBackgroundGoToTheKeyCatcher) {
  Editor e;
  EXPECT_FALSE(e.gui.OnKeyDown(150, 90, 7));  // no key catcher yet
  EXPECT_TRUE(e.background->events.empty());
  auto* catcher = new RecordingControl(&e.plug, IRECT(), -1, "catcher");
  e.gui.AttachKeyCatcher(catcher);
  EXPECT_TRUE(e.gui.OnKeyDown(150, 90, 7));
  EXPECT_TRUE(e.gui.OnKeyDown(500, 500, 8));  // nothing under the pointer
  EXPECT_EQ(catcher->events, (Strings{"catcher key 7 150,90", "catcher key 8 500,500"}));
  // A control over the background answers for itself.
  e.low->takesKeys = false;
  EXPECT_FALSE(e.gui.OnKeyDown(20, 20, 9));
  EXPECT_EQ(e.low->events, (Strings{"low key 9 20,20"}));
  EXPECT_EQ(catcher->events.size(), 2u);
}

TEST(IGraphicsEvents, BaseControlPromptsOnlyWhenPromptsAreEnabled) {
  GraphicsTestPlug plug;
  auto* gui = new IGraphicsHeadless(&plug, 100, 100);
  plug.AttachGraphics(gui);
  auto* control = new RecordingControl(&plug, IRECT(10, 10, 50, 30), 0, "c");
  gui->AttachControl(control);
  IMouseMod right(false, true);
  control->OnMouseDown(12, 12, &right);
  EXPECT_TRUE(gui->TextEntryRequests().empty());
  control->DisablePrompt(false);
  gui->QueueTextEntryAnswer("0.25");
  control->OnMouseDown(12, 12, &right);
  ASSERT_EQ(gui->TextEntryRequests().size(), 1u);
  // A 40 x 16 field centred on the control.
  EXPECT_EQ(gui->TextEntryRequests()[0].rect, IRECT(10, 12, 50, 28));
  EXPECT_EQ(gui->TextEntryRequests()[0].text, "0.00");
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), 0.25);
}
