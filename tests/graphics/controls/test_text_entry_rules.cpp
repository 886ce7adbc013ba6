#include <gtest/gtest.h>

#include "graphics/controls/itext_control.h"
#include "graphics/text_entry_rules.h"
#include "tests/graphics/controls/controls_test_support.h"

TEST(TextEntryRules, AcceptedCharactersFollowTheParameterKind) {
  ControlsTestPlug plug(kAPIVST2);
  EXPECT_STREQ(TextEntryAcceptedChars(plug.GetParam(kGain)), "0123456789.-+");
  EXPECT_STREQ(TextEntryAcceptedChars(plug.GetParam(kSteps)), "0123456789-+");
  EXPECT_STREQ(TextEntryAcceptedChars(plug.GetParam(kMode)), "0123456789-+");
  EXPECT_STREQ(TextEntryAcceptedChars(plug.GetParam(kBypass)), "0123456789-+");
  IParam untyped;
  EXPECT_STREQ(TextEntryAcceptedChars(&untyped), "");
  EXPECT_EQ(TextEntryAcceptedChars(nullptr), nullptr);
}

TEST(TextEntryRules, EditsOutsideTheSetOrLengthAreRefused) {
  ControlsTestPlug plug(kAPIVST2);
  ITextControl control(&plug, IRECT(0, 0, 10, 10), nullptr);
  IParam* gain = plug.GetParam(kGain);
  EXPECT_TRUE(TextEntryAccepts(&control, gain, "-3.5"));
  EXPECT_TRUE(TextEntryAccepts(&control, gain, ""));
  EXPECT_TRUE(TextEntryAccepts(&control, gain, "1234567"));
  EXPECT_FALSE(TextEntryAccepts(&control, gain, "12345678"));
  EXPECT_FALSE(TextEntryAccepts(&control, gain, "3.5dB"));
  EXPECT_FALSE(TextEntryAccepts(&control, plug.GetParam(kSteps), "3.5"));
  IParam untyped;
  EXPECT_FALSE(TextEntryAccepts(&control, &untyped, "1"));
  EXPECT_TRUE(TextEntryAccepts(&control, &untyped, ""));
  control.SetTextEntryLength(3);
  EXPECT_FALSE(TextEntryAccepts(&control, gain, "1.25"));
  // A control's own text entry has neither filter nor limit.
  EXPECT_TRUE(TextEntryAccepts(&control, nullptr, "any text at all, longer than seven"));
  EXPECT_FALSE(TextEntryAccepts(&control, gain, nullptr));
}

TEST(TextEntryRules, FieldFontIsNineTenthsOfTheStyleTruncated) {
  IText text(12);
  EXPECT_EQ(TextEntryFontSize(text), 10);
  text.mSize = 10;
  EXPECT_EQ(TextEntryFontSize(text), 9);
  text.mSize = 1;
  EXPECT_EQ(TextEntryFontSize(text), 0);
}
