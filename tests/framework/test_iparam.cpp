#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "framework/iparam.h"

namespace {

std::string Display(const IParam& p, double value, bool normalized, bool withDisplayText = true) {
  char buf[PARAM_DISPLAY_BUFFER_SIZE];
  std::memset(buf, 'x', sizeof(buf));
  p.GetDisplayForHost(value, normalized, buf, withDisplayText);
  return buf;
}

TEST(IParam, FreshRecord) {
  IParam p;
  EXPECT_EQ(p.Type(), kParamNone);
  EXPECT_EQ(p.Value(), 0.0);
  EXPECT_EQ(p.Min(), 0.0);
  EXPECT_EQ(p.Max(), 1.0);
  EXPECT_EQ(p.Step(), 1.0);
  EXPECT_EQ(p.Shape(), 1.0);
  EXPECT_TRUE(p.GetCanAutomate());
  EXPECT_FALSE(p.GetNegateDisplay());
  EXPECT_EQ(p.GetNDisplayTexts(), 0);
  EXPECT_STREQ(p.GetNameForHost(), "");
}

TEST(IParam, FirstInitFixesKindLaterInitResetsRange) {
  IParam p;
  p.InitInt("Mode", 0, 0, 1, "", "");
  p.InitDouble("Gain", 3.0, -12.0, 12.0, 0.5, "dB", "Band");
  EXPECT_EQ(p.Type(), kParamInt);
  EXPECT_EQ(p.Min(), -12.0);
  EXPECT_EQ(p.Max(), 12.0);
  EXPECT_EQ(p.Value(), 3.0);
  EXPECT_EQ(p.Default(), 3.0);
  EXPECT_STREQ(p.GetNameForHost(), "Gain");
  EXPECT_STREQ(p.GetParamGroupForHost(), "Band");
}

TEST(IParam, EnumRangeFollowsEntryCount) {
  IParam none, one, four;
  none.InitEnum("E", 0, 0);
  one.InitEnum("E", 0, 1);
  four.InitEnum("E", 2, 4);
  EXPECT_EQ(none.Max(), 1.0);
  EXPECT_EQ(one.Max(), 1.0);
  EXPECT_EQ(four.Min(), 0.0);
  EXPECT_EQ(four.Max(), 3.0);
  EXPECT_EQ(four.Value(), 2.0);
  EXPECT_EQ(four.GetNDisplayTexts(), 0);
}

TEST(IParam, IntAndDoubleKeepAtLeastOneStepOfRange) {
  IParam i, d;
  i.InitInt("I", 0, 0, 0);
  d.InitDouble("D", 10.0, 10.0, 10.0, 0.5);
  EXPECT_EQ(i.Max(), 1.0);
  EXPECT_EQ(d.Max(), 10.5);
}

TEST(IParam, IntWithLargestMinDoesNotOverflow) {
  IParam p;
  p.InitInt("I", 0, 2147483647, 0);
  EXPECT_EQ(p.Max(), 2147483648.0);
}

TEST(IParam, BoolAppendsOffOnEveryInit) {
  IParam p;
  p.InitBool("B", true);
  EXPECT_EQ(p.Value(), 1.0);
  EXPECT_EQ(p.GetNDisplayTexts(), 2);
  p.InitBool("B", false);
  EXPECT_EQ(p.GetNDisplayTexts(), 4);
  EXPECT_EQ(p.Value(), 0.0);
}

TEST(IParam, SetNormalizedRoundsIntegersFromZeroAndClampsOnlyAtMax) {
  IParam p;
  p.InitInt("I", 0, -24, 24);
  p.SetNormalized(0.51);  // -24 + 48 * 0.51 = 0.48
  EXPECT_EQ(p.Value(), 0.0);
  p.SetNormalized(1.2);
  EXPECT_EQ(p.Value(), 24.0);
  p.SetNormalized(-0.1);  // -28.8 rounds to -29, no lower clamp
  EXPECT_EQ(p.Value(), -29.0);
}

TEST(IParam, HalvesRoundUp) {
  IParam p;
  p.InitInt("I", 0, 0, 10);
  p.SetNormalized(0.25);  // 2.5
  EXPECT_EQ(p.Value(), 3.0);
}

TEST(IParam, DoubleIsNotRoundedToStep) {
  IParam p;
  p.InitDouble("D", 0.0, 0.0, 1.0, 0.25);
  p.SetNormalized(0.3);
  EXPECT_EQ(p.Value(), 0.3);
}

TEST(IParam, ShapeTwoMidpoint) {
  IParam p;
  p.InitDouble("F", 100.0, 30.0, 3000.0, 1.0, "Hz", "", 2.0);
  p.SetNormalized(0.5);
  EXPECT_EQ(p.Value(), 772.5);
  EXPECT_EQ(p.GetNormalized(), 0.5);
  EXPECT_EQ(p.GetNonNormalized(0.5), 772.5);
}

TEST(IParam, GetNormalizedClampsOutsideRange) {
  IParam p;
  p.InitDouble("D", 0.0, -10.0, 10.0, 0.1);
  EXPECT_EQ(p.GetNormalized(-50.0), 0.0);
  EXPECT_EQ(p.GetNormalized(50.0), 1.0);
  EXPECT_EQ(p.GetNormalized(0.0), 0.5);
  EXPECT_EQ(p.GetNormalized(std::nan("")), 0.0);
}

TEST(IParam, EmptyRangeNormalizesToZeroNotNaN) {
  IParam p;
  p.InitDouble("D", 5.0, 5.0, 5.0, 0.0);
  EXPECT_EQ(p.GetNormalized(), 0.0);
}

TEST(IParam, ZeroStepOnIntegerKindKeepsValueFinite) {
  IParam p;
  p.InitInt("I", 0, 0, 10);
  p.InitDouble("I", 0.0, 0.0, 10.0, 0.0);
  p.SetNormalized(0.55);
  EXPECT_EQ(p.Value(), 5.5);
}

TEST(IParam, ShapeZeroIsIgnored) {
  IParam p;
  p.SetShape(3.0);
  p.SetShape(0.0);
  EXPECT_EQ(p.Shape(), 3.0);
  IParam q;
  q.InitDouble("D", 0.0, 0.0, 1.0, 0.1, "", "", 0.0);
  EXPECT_EQ(q.Shape(), 1.0);
}

TEST(IParam, DirectSetClampsWithoutRounding) {
  IParam p;
  p.InitInt("I", 0, -5, 5);
  p.Set(2.4);
  EXPECT_EQ(p.Value(), 2.4);
  p.Set(-100.0);
  EXPECT_EQ(p.Value(), -5.0);
  p.Set(100.0);
  EXPECT_EQ(p.Value(), 5.0);
  p.Set(std::nan(""));
  EXPECT_EQ(p.Value(), 0.0);
}

TEST(IParam, DBToAmp) {
  IParam p;
  p.InitDouble("G", -6.0, -24.0, 24.0, 0.01);
  EXPECT_NEAR(p.DBToAmp(), std::pow(10.0, -6.0 / 20.0), 1e-12);
  p.Set(0.0);
  EXPECT_EQ(p.DBToAmp(), 1.0);
}

struct PrecisionCase {
  double step;
  int precision;
};

class IParamPrecision : public ::testing::TestWithParam<PrecisionCase> {};

TEST_P(IParamPrecision, DerivedFromStep) {
  EXPECT_EQ(IParam::PrecisionForStep(GetParam().step), GetParam().precision) << GetParam().step;
  IParam p;
  p.InitDouble("D", 0.0, 0.0, 100.0, GetParam().step);
  EXPECT_EQ(p.GetDisplayPrecision(), GetParam().precision);
}

INSTANTIATE_TEST_SUITE_P(Steps, IParamPrecision,
                         ::testing::Values(PrecisionCase{1.0, 0}, PrecisionCase{0.5, 1}, PrecisionCase{0.1, 1},
                                           PrecisionCase{0.2, 1}, PrecisionCase{0.3, 1}, PrecisionCase{2.5, 1},
                                           PrecisionCase{0.01, 2}, PrecisionCase{0.05, 2}, PrecisionCase{0.25, 2},
                                           PrecisionCase{0.001, 3}, PrecisionCase{0.0001, 4},
                                           PrecisionCase{1e-7, 6}));

TEST(IParamDisplay, BoolShowsTextOrNumber) {
  IParam p;
  p.InitBool("B", false);
  EXPECT_EQ(Display(p, 1.0, false, true), "on");
  EXPECT_EQ(Display(p, 1.0, false, false), "1");
  EXPECT_EQ(Display(p, 0.0, true, true), "off");
}

TEST(IParamDisplay, IntegerPrecisionTruncatesTowardZero) {
  IParam p;
  p.InitInt("I", 0, -10, 10);
  EXPECT_EQ(Display(p, 2.7, false), "2");
  EXPECT_EQ(Display(p, -2.7, false), "-2");
}

TEST(IParamDisplay, DecimalsRoundedByFormatter) {
  IParam p;
  p.InitDouble("D", 0.0, -10.0, 10.0, 0.01);
  EXPECT_EQ(Display(p, 1.236, false), "1.24");
  EXPECT_EQ(Display(p, 0.5, true), "0.00");
}

TEST(IParamDisplay, NegateDisplay) {
  IParam p;
  p.InitDouble("D", 0.0, -10.0, 10.0, 0.1);
  p.SetNegateDisplay(true);
  EXPECT_EQ(Display(p, 3.0, false), "-3.0");
  EXPECT_EQ(Display(p, -4.0, false), "4.0");
}

TEST(IParamDisplay, EmptyDisplayTextFallsBackToNumberAndLabel) {
  IParam p;
  p.InitEnum("E", 1, 3, "st");
  p.SetDisplayText(0, "zero");
  p.SetDisplayText(1, "");
  p.SetDisplayText(1, "shadowed");  // only the first match counts
  EXPECT_EQ(Display(p, 1.0, false), "1");
  EXPECT_STREQ(p.GetLabelForHost(), "st");
  p.Set(0.0);
  EXPECT_STREQ(p.GetLabelForHost(), "");
  EXPECT_EQ(Display(p, 0.9, false), "zero");  // truncated to 0
}

TEST(IParamDisplay, HugeValuesStayInsideTheBuffer) {
  IParam wide;
  wide.InitDouble("D", 0.0, -1e300, 1e300, 1e-7);
  ASSERT_EQ(wide.GetDisplayPrecision(), 6);
  for (double v : {1e300, -1e300}) {
    const std::string text = Display(wide, v, false);
    EXPECT_EQ(text.size(), static_cast<size_t>(PARAM_DISPLAY_BUFFER_SIZE - 1));
    EXPECT_EQ(text[0] == '-', v < 0);
  }
  IParam integer;
  integer.InitInt("I", 0, 0, 10);
  EXPECT_EQ(Display(integer, 1e300, false), "2147483647");
  EXPECT_EQ(Display(integer, -1e300, false), "-2147483648");
  EXPECT_EQ(Display(integer, std::nan(""), false), "0");
  integer.SetDisplayText(0, "zero");
  EXPECT_EQ(Display(integer, 1e300, false), "2147483647");
}

TEST(IParamDisplay, SmallCallerBufferIsCut) {
  IParam p;
  p.InitDouble("D", 0.0, 0.0, 100000.0, 0.001);
  char buf[8];
  std::memset(buf, 'x', sizeof(buf));
  p.GetDisplayForHost(12345.678, false, buf, true, 6);
  EXPECT_STREQ(buf, "12345");
  EXPECT_EQ(buf[6], 'x');
  p.SetDisplayText(12345, "a long display text");
  p.GetDisplayForHost(12345.0, false, buf, true, 6);
  EXPECT_STREQ(buf, "a lon");
  EXPECT_EQ(buf[6], 'x');
}

TEST(IParamTexts, MapDisplayTextIsExactAndCaseSensitive) {
  IParam p;
  p.InitBool("B", false);
  int value = 42;
  EXPECT_FALSE(p.MapDisplayText("On", &value));
  EXPECT_EQ(value, 42);
  EXPECT_FALSE(p.MapDisplayText("o", &value));
  EXPECT_FALSE(p.MapDisplayText("on ", &value));
  EXPECT_TRUE(p.MapDisplayText("on", &value));
  EXPECT_EQ(value, 1);
  EXPECT_TRUE(p.MapDisplayText("off", &value));
  EXPECT_EQ(value, 0);
}

TEST(IParamTexts, EntriesKeepInsertionOrder) {
  IParam p;
  p.InitEnum("E", 0, 3);
  p.SetDisplayText(2, "two");
  p.SetDisplayText(0, "zero");
  p.SetDisplayText(2, "again");
  int value = -1;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(0, &value), "two");
  EXPECT_EQ(value, 2);
  EXPECT_STREQ(p.GetDisplayTextAtIdx(1, nullptr), "zero");
  EXPECT_STREQ(p.GetDisplayText(2), "two");
  EXPECT_STREQ(p.GetDisplayText(1), "");
  EXPECT_TRUE(p.MapDisplayText("again", &value));
  EXPECT_EQ(value, 2);
}

TEST(IParamTexts, IndexOutsideListReadsEmpty) {
  IParam p;
  p.InitBool("B", false);
  int value = 9;
  EXPECT_STREQ(p.GetDisplayTextAtIdx(2, &value), "");
  EXPECT_STREQ(p.GetDisplayTextAtIdx(-1, &value), "");
  EXPECT_EQ(value, 9);
}

TEST(IParamTexts, LongTextsAreCutToTheirFields) {
  const std::string longText(300, 'n');
  IParam p;
  p.InitEnum(longText.c_str(), 0, 2, longText.c_str(), longText.c_str());
  p.SetDisplayText(0, longText.c_str());
  EXPECT_EQ(std::string(p.GetNameForHost()), std::string(PARAM_TEXT_SIZE - 1, 'n'));
  EXPECT_EQ(std::strlen(p.GetParamGroupForHost()), static_cast<size_t>(PARAM_TEXT_SIZE - 1));
  EXPECT_EQ(std::strlen(p.GetDisplayText(0)), static_cast<size_t>(PARAM_TEXT_SIZE - 1));
  p.Set(1.0);
  EXPECT_EQ(std::strlen(p.GetLabelForHost()), static_cast<size_t>(PARAM_TEXT_SIZE - 1));
}

TEST(IParamTexts, NullTextsReadEmpty) {
  IParam p;
  p.InitInt(nullptr, 0, 0, 3, nullptr, nullptr);
  p.SetDisplayText(1, nullptr);
  EXPECT_STREQ(p.GetNameForHost(), "");
  EXPECT_STREQ(p.GetDisplayText(1), "");
  int value = 0;
  EXPECT_FALSE(p.MapDisplayText(nullptr, &value));
}

}  // namespace
