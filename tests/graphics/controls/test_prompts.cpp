#include <gtest/gtest.h>

#include <string>

#include "framework/iparam.h"
#include "graphics/controls/icaption_control.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/controls/itext_control.h"
#include "graphics/ipopup_menu.h"
#include "tests/graphics/controls/controls_test_support.h"

namespace {
const IRECT kCaptionRect(10, 20, 70, 40);

// A caption bound to paramIdx with prompts enabled, attached and set from
// its parameter.
ICaptionControl* AttachCaption(ControlsTestEditor& editor, int paramIdx) {
  auto* caption = new ICaptionControl(&editor.plug, kCaptionRect, paramIdx, nullptr);
  caption->DisablePrompt(false);
  editor.gui->AttachControl(caption);
  editor.Attach();
  return caption;
}

struct MenuSeen {
  std::string texts;
  std::string checks;
  IRECT rect;
};

// Records what the menu offered, then picks item `pick` (or returns the
// menu with no pick when pick is -1).
IGraphicsHeadless::MenuAnswer Pick(int pick, MenuSeen* seen) {
  return [pick, seen](IPopupMenu* menu, IRECT* rect) -> IPopupMenu* {
    for (int i = 0; i < menu->GetNItems(); ++i) {
      seen->texts += std::string(menu->GetItemText(i)) + "|";
      seen->checks += menu->IsItemChecked(i) ? "x" : "-";
    }
    seen->rect = *rect;
    menu->SetChosenItemIdx(pick);
    return menu;
  };
}
}  // namespace

TEST(PromptMenu, EnumShowsItsTextsWithTheCurrentOneCheckedAndThePickReachesTheParameter) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kMode);
  ASSERT_DOUBLE_EQ(caption->GetValue(), 1.0);
  MenuSeen seen;
  editor.gui->QueueMenuAnswer(Pick(0, &seen));
  IMouseMod left(true);
  editor.gui->OnMouseDown(20, 30, &left);
  EXPECT_EQ(seen.texts, "Sum|Max|");
  EXPECT_EQ(seen.checks, "-x");
  // A menu opens over the control's own rectangle.
  EXPECT_EQ(seen.rect, kCaptionRect);
  EXPECT_DOUBLE_EQ(caption->GetValue(), 0.0);
  EXPECT_EQ(editor.plug.GetParam(kMode)->Int(), 0);
  ASSERT_EQ(editor.plug.informedParams.size(), 1u);
  EXPECT_EQ(editor.plug.informedParams[0], kMode);
  EXPECT_TRUE(caption->NeedsRedraw());
}

TEST(PromptMenu, NamedBooleanOpensAMenuToo) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kBypass);
  MenuSeen seen;
  editor.gui->QueueMenuAnswer(Pick(1, &seen));
  caption->PromptUserInput();
  EXPECT_EQ(seen.texts, "off|on|");
  EXPECT_EQ(seen.checks, "x-");
  EXPECT_DOUBLE_EQ(caption->GetValue(), 1.0);
  EXPECT_TRUE(editor.plug.GetParam(kBypass)->Bool());
  EXPECT_TRUE(editor.gui->TextEntryRequests().empty());
}

TEST(PromptMenu, DismissedMenuLeavesTheControlAlone) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kMode);
  caption->PromptUserInput();  // no answer queued: dismissed
  EXPECT_EQ(editor.gui->NumMenusShown(), 1);
  EXPECT_DOUBLE_EQ(caption->GetValue(), 1.0);
  EXPECT_TRUE(editor.plug.informed.empty());
}

TEST(PromptMenu, MenuHandedBackWithoutAPickInRangeCountsAsDismissed) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kMode);
  MenuSeen seen;
  editor.gui->QueueMenuAnswer(Pick(-1, &seen));
  caption->PromptUserInput();
  MenuSeen seen2;
  editor.gui->QueueMenuAnswer(Pick(7, &seen2));
  caption->PromptUserInput();
  EXPECT_DOUBLE_EQ(caption->GetValue(), 1.0);
  EXPECT_TRUE(editor.plug.informed.empty());
}

TEST(PromptTextEntry, TypedNumberBecomesTheNormalisedValue) {
  ControlsTestEditor editor;
  auto* value = new ITextControl(&editor.plug, IRECT(0, 100, 60, 120), nullptr);
  auto* name = new ITextControl(&editor.plug, IRECT(0, 120, 60, 140), nullptr);
  ICaptionControl* caption = AttachCaption(editor, kGain);
  caption->SetValDisplayControl(value);
  caption->SetNameDisplayControl(name);
  editor.gui->AttachControl(value);
  editor.gui->AttachControl(name);
  editor.gui->QueueTextEntryAnswer("3.5");
  caption->PromptUserInput();
  ASSERT_EQ(editor.gui->TextEntryRequests().size(), 1u);
  const auto& request = editor.gui->TextEntryRequests().front();
  EXPECT_EQ(request.text, "0.00");
  EXPECT_EQ(request.param, editor.plug.GetParam(kGain));
  // 40 x 16 centred on (40, 30).
  EXPECT_EQ(request.rect, IRECT(20, 22, 60, 38));
  EXPECT_DOUBLE_EQ(caption->GetValue(), (3.5 + 12.0) / 24.0);
  EXPECT_NEAR(editor.plug.GetParam(kGain)->Value(), 3.5, 1e-9);
  EXPECT_STREQ(value->GetTextForPlug(), "3.50 dB");
  EXPECT_STREQ(name->GetTextForPlug(), "Gain");
}

TEST(PromptTextEntry, NegatedDisplayShowsAndReadsTheNegatedNumber) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kDepth);
  editor.gui->QueueTextEntryAnswer("-4");
  caption->PromptUserInput();
  ASSERT_EQ(editor.gui->TextEntryRequests().size(), 1u);
  EXPECT_EQ(editor.gui->TextEntryRequests().front().text, "-3.00");
  EXPECT_DOUBLE_EQ(caption->GetValue(), (4.0 + 10.0) / 20.0);
  EXPECT_NEAR(editor.plug.GetParam(kDepth)->Value(), 4.0, 1e-9);
}

TEST(PromptTextEntry, LeadingNumberIsReadAndJunkGivesZeroClampedToTheRange) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kRange);
  IParam* range = editor.plug.GetParam(kRange);
  editor.gui->SetFromStringAfterPrompt(caption, range, "12abc");
  EXPECT_DOUBLE_EQ(caption->GetValue(), range->GetNormalized(12.0));
  EXPECT_NEAR(range->Value(), 12.0, 1e-9);
  editor.gui->SetFromStringAfterPrompt(caption, range, "abc");
  EXPECT_DOUBLE_EQ(caption->GetValue(), 0.0);
  EXPECT_NEAR(range->Value(), 5.0, 1e-9);
  editor.gui->SetFromStringAfterPrompt(caption, range, "1e6");
  EXPECT_DOUBLE_EQ(caption->GetValue(), 1.0);
}

TEST(PromptTextEntry, BooleanAndEnumTextGoesThroughTheDisplayTexts) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kBypass);
  IParam* bypass = editor.plug.GetParam(kBypass);
  editor.gui->SetFromStringAfterPrompt(caption, bypass, "on");
  EXPECT_DOUBLE_EQ(caption->GetValue(), 1.0);
  // A digit is not a display text: it maps to 0.
  editor.gui->SetFromStringAfterPrompt(caption, bypass, "1");
  EXPECT_DOUBLE_EQ(caption->GetValue(), 0.0);
  IParam* mode = editor.plug.GetParam(kMode);
  caption->SetParamIdx(kMode);
  editor.gui->SetFromStringAfterPrompt(caption, mode, "Max");
  EXPECT_DOUBLE_EQ(caption->GetValue(), 1.0);
  EXPECT_EQ(mode->Int(), 1);
  editor.gui->SetFromStringAfterPrompt(caption, mode, "max");
  EXPECT_DOUBLE_EQ(caption->GetValue(), 0.0);
}

TEST(PromptTextEntry, IntegerParameterUsesTheTextField) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kSteps);
  editor.gui->QueueTextEntryAnswer("7");
  caption->PromptUserInput();
  ASSERT_EQ(editor.gui->TextEntryRequests().size(), 1u);
  EXPECT_EQ(editor.gui->TextEntryRequests().front().text, "2");
  EXPECT_EQ(editor.plug.GetParam(kSteps)->Int(), 7);
}

TEST(PromptRefused, PlatformReturningNothingLeavesTheValue) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kGain);
  const double before = caption->GetValue();
  caption->PromptUserInput();  // the field opens, nothing is typed
  EXPECT_EQ(editor.gui->TextEntryRequests().size(), 1u);
  EXPECT_DOUBLE_EQ(caption->GetValue(), before);
  EXPECT_TRUE(editor.plug.informed.empty());
}

TEST(PromptRefused, DisabledPromptsOrNoParameterOpenNothing) {
  ControlsTestEditor editor;
  auto* knob = new BareKnob(&editor.plug, IRECT(0, 0, 20, 20), kGain);
  auto* unbound = new ICaptionControl(&editor.plug, IRECT(30, 0, 60, 20), -1, nullptr);
  unbound->DisablePrompt(false);
  editor.gui->AttachControl(knob);
  editor.gui->AttachControl(unbound);
  editor.Attach();
  ASSERT_TRUE(knob->IsPromptDisabled());
  IMouseMod right(false, true);
  knob->OnMouseDown(5, 5, &right);
  unbound->OnMouseDown(35, 5, &right);
  unbound->PromptUserInput();
  EXPECT_TRUE(editor.gui->TextEntryRequests().empty());
  EXPECT_EQ(editor.gui->NumMenusShown(), 0);
  EXPECT_FALSE(unbound->NeedsRedraw());

  // Once enabled, the knob's secondary button prompts.
  knob->DisablePrompt(false);
  knob->OnMouseDown(5, 5, &right);
  EXPECT_EQ(editor.gui->TextEntryRequests().size(), 1u);
  IMouseMod left(true);
  knob->OnMouseDown(5, 5, &left);
  EXPECT_EQ(editor.gui->TextEntryRequests().size(), 1u);
}

TEST(PromptRefused, NullArgumentsDoNothing) {
  ControlsTestEditor editor;
  ICaptionControl* caption = AttachCaption(editor, kGain);
  IParam* gain = editor.plug.GetParam(kGain);
  IRECT r(0, 0, 10, 10);
  editor.gui->PromptUserInput(nullptr, gain, &r);
  editor.gui->PromptUserInput(caption, nullptr, &r);
  editor.gui->PromptUserInput(caption, gain, nullptr);
  EXPECT_TRUE(editor.gui->TextEntryRequests().empty());
  editor.gui->SetFromStringAfterPrompt(caption, nullptr, "3");
  EXPECT_TRUE(editor.plug.informed.empty());
}

TEST(PromptUnderVST3, SecondaryButtonOnAParameterControlGoesToTheHost) {
  ControlsTestEditor editor(kAPIVST3);
  ICaptionControl* caption = AttachCaption(editor, kGain);
  IMouseMod right(false, true);
  editor.gui->OnMouseDown(20, 30, &right);
  EXPECT_TRUE(editor.gui->TextEntryRequests().empty());
  ASSERT_FALSE(editor.plug.log.empty());
  EXPECT_EQ(editor.plug.log.back(), "host menu 0");
  (void)caption;
}
