// The controller side as a host sees it: the parameter list, values, texts,
// units and the program list.
#include <cmath>
#include <cstring>

#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

class Vst3Controller : public Vst3Test {
protected:
  IEditController* C() { return mPlug->controller; }
  static void Text(const char* utf8, String128 out) {
    size_t i = 0;
    for (; utf8[i] && i < 127; ++i) out[i] = static_cast<char16>(utf8[i]);
    out[i] = 0;
  }
};

TEST_F(Vst3Controller, ListsPresetAndBypassBeforeTheEffectParameters) {
  ASSERT_EQ(C()->getParameterCount(), 45);
  ParameterInfo info{};
  ASSERT_EQ(C()->getParameterInfo(0, info), kResultTrue);
  EXPECT_EQ(info.id, kPresetTag);
  EXPECT_EQ(ToUtf8(info.title), "Preset");
  EXPECT_EQ(info.flags, ParameterInfo::kIsProgramChange);
  EXPECT_EQ(info.stepCount, 1);
  EXPECT_EQ(info.unitId, kRootUnitId);

  ASSERT_EQ(C()->getParameterInfo(1, info), kResultTrue);
  EXPECT_EQ(info.id, kBypassTag);
  EXPECT_EQ(ToUtf8(info.title), "Bypass");
  EXPECT_EQ(info.flags, 0x10009);
  EXPECT_EQ(info.stepCount, 1);

  ASSERT_EQ(C()->getParameterInfo(2, info), kResultTrue);
  EXPECT_EQ(info.id, 0u);
  EXPECT_EQ(ToUtf8(info.title), "High Attack");
  EXPECT_EQ(ToUtf8(info.units), "ms");
  EXPECT_EQ(ToUtf8(info.shortTitle), "");
  EXPECT_EQ(info.stepCount, 0);
  EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, (10.0 - 1.0) / 49.0);
  EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
  EXPECT_EQ(info.unitId, kRootUnitId);

  // Release has shape 2: the default sits at the square root of its place.
  ASSERT_EQ(C()->getParameterInfo(12 + 2, info), kResultTrue);
  EXPECT_EQ(ToUtf8(info.title), "High Release");
  EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, std::sqrt((100.0 - 30.0) / 2970.0));
  ASSERT_EQ(C()->getParameterInfo(kModeL + 2, info), kResultTrue);
  EXPECT_EQ(ToUtf8(info.title), "MODE-L");
  EXPECT_EQ(info.stepCount, 1);
  // The two parameters without a name have one for hosts; nothing reads 25,
  // so hosts neither list it nor automate it.
  ASSERT_EQ(C()->getParameterInfo(25 + 2, info), kResultTrue);
  EXPECT_EQ(ToUtf8(info.title), "Unused");
  EXPECT_EQ(info.flags, ParameterInfo::kIsHidden | ParameterInfo::kIsReadOnly);
  EXPECT_EQ(info.stepCount, 1);
  ASSERT_EQ(C()->getParameterInfo(37 + 2, info), kResultTrue);
  EXPECT_EQ(ToUtf8(info.title), "Bypass Switch");
  EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
  EXPECT_EQ(info.stepCount, 1);
  EXPECT_EQ(info.defaultNormalizedValue, 0.0);

  EXPECT_NE(C()->getParameterInfo(45, info), kResultTrue);
  EXPECT_NE(C()->getParameterInfo(-1, info), kResultTrue);
  
}

TEST_F(Vst3Controller, SetsAndReadsNormalisedValues) {
  EXPECT_DOUBLE_EQ(C()->getParamNormalized(kLowGain), 0.5);
  EXPECT_EQ(C()->setParamNormalized(kLowGain, 0.75), kResultOk);
  EXPECT_DOUBLE_EQ(C()->getParamNormalized(kLowGain), 0.75);
  // Out of range is clamped; NaN is refused and changes nothing.
  EXPECT_EQ(C()->setParamNormalized(kLowGain, 1.5), kResultOk);
  EXPECT_DOUBLE_EQ(C()->getParamNormalized(kLowGain), 1.0);
  EXPECT_EQ(C()->setParamNormalized(kLowGain, -3.0), kResultOk);
  EXPECT_DOUBLE_EQ(C()->getParamNormalized(kLowGain), 0.0);
  EXPECT_EQ(C()->setParamNormalized(kLowGain, std::nan("")), kResultFalse);
  EXPECT_DOUBLE_EQ(C()->getParamNormalized(kLowGain), 0.0);

  EXPECT_EQ(C()->setParamNormalized(kPresetTag, 1.0), kResultFalse);
  EXPECT_EQ(C()->setParamNormalized(43, 1.0), kResultFalse);
  EXPECT_EQ(C()->setParamNormalized(0xFFFFFFFF, 1.0), kResultFalse);
  EXPECT_EQ(C()->getParamNormalized(kPresetTag), 0.0);
  EXPECT_EQ(C()->getParamNormalized(25), 0.0);

  // The host bypass is stored as the host sets it, on or off.
  EXPECT_EQ(C()->getParamNormalized(kBypassTag), 0.0);
  EXPECT_EQ(C()->setParamNormalized(kBypassTag, 1.0), kResultOk);
  EXPECT_EQ(C()->getParamNormalized(kBypassTag), 1.0);
  EXPECT_EQ(C()->setParamNormalized(kBypassTag, 0.5), kResultOk);
  EXPECT_EQ(C()->getParamNormalized(kBypassTag), 0.0);
  EXPECT_EQ(C()->setParamNormalized(kBypassTag, 0.51), kResultOk);
  EXPECT_EQ(C()->getParamNormalized(kBypassTag), 1.0);
  EXPECT_EQ(C()->setParamNormalized(kBypassTag, std::nan("")), kResultFalse);
  EXPECT_EQ(C()->getParamNormalized(kBypassTag), 1.0);
  EXPECT_EQ(C()->getParamNormalized(4711), 0.0);
}

TEST_F(Vst3Controller, ConvertsBetweenPlainAndNormalised) {
  EXPECT_DOUBLE_EQ(C()->plainParamToNormalized(kLowGain, 12.0), 0.75);
  EXPECT_DOUBLE_EQ(C()->plainParamToNormalized(kLowGain, 100.0), 1.0);
  EXPECT_DOUBLE_EQ(C()->plainParamToNormalized(200, 3.5), 3.5);
  EXPECT_DOUBLE_EQ(C()->normalizedParamToPlain(kLowGain, 0.25), -12.0);
  EXPECT_DOUBLE_EQ(C()->normalizedParamToPlain(12, 0.5), 30.0 + 2970.0 * 0.25);
  EXPECT_DOUBLE_EQ(C()->normalizedParamToPlain(200, 0.3), 0.3);
}

TEST_F(Vst3Controller, WritesAndReadsDisplayTexts) {
  String128 text{};
  ASSERT_EQ(C()->getParamStringByValue(kHighGain, 0.5, text), kResultOk);
  EXPECT_EQ(ToUtf8(text), "0.00");
  ASSERT_EQ(C()->getParamStringByValue(kHighGain, 1.0, text), kResultOk);
  EXPECT_EQ(ToUtf8(text), "24.00");
  ASSERT_EQ(C()->getParamStringByValue(kModeL, 1.0, text), kResultOk);
  EXPECT_EQ(ToUtf8(text), "1");
  ASSERT_EQ(C()->getParamStringByValue(kBypassTag, 1.0, text), kResultOk);
  EXPECT_EQ(ToUtf8(text), "on");
  ASSERT_EQ(C()->getParamStringByValue(kBypassTag, 0.5, text), kResultOk);
  EXPECT_EQ(ToUtf8(text), "off");
  EXPECT_EQ(C()->getParamStringByValue(kBypassTag, 0.0, nullptr), kResultFalse);
  EXPECT_EQ(C()->getParamStringByValue(kPresetTag, 0.0, text), kResultFalse);
  EXPECT_EQ(C()->getParamStringByValue(99, 0.0, text), kResultFalse);

  ParamValue value = -1.0;
  Text("12", text);
  ASSERT_EQ(C()->getParamValueByString(kHighGain, text, value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 0.75);
  Text("abc", text);
  ASSERT_EQ(C()->getParamValueByString(kHighGain, text, value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 0.5);
  Text("100", text);
  ASSERT_EQ(C()->getParamValueByString(kHighGain, text, value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 1.0);
  // The SDK's list parameter reads its own strings.
  Text("on", text);
  ASSERT_EQ(C()->getParamValueByString(kBypassTag, text, value), kResultOk);
  EXPECT_DOUBLE_EQ(value, 1.0);
  Text("12", text);
  EXPECT_EQ(C()->getParamValueByString(4711, text, value), kResultFalse);
  EXPECT_EQ(C()->getParamValueByString(kHighGain, nullptr, value), kResultFalse);
}

TEST_F(Vst3Controller, HasOnlyTheRootUnit) {
  IUnitInfo* units = mPlug->units;
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(units->getUnitCount(), 1);
  UnitInfo info{};
  ASSERT_EQ(units->getUnitInfo(0, info), kResultOk);
  EXPECT_EQ(info.id, kRootUnitId);
  EXPECT_EQ(info.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(ToUtf8(info.name), "Root Unit");
  EXPECT_EQ(info.programListId, kNoProgramListId);
  UnitInfo untouched{};
  untouched.id = 77;
  EXPECT_EQ(units->getUnitInfo(1, untouched), kResultFalse);
  EXPECT_EQ(untouched.id, 77);
  EXPECT_EQ(units->getUnitInfo(-1, untouched), kResultFalse);
  EXPECT_EQ(units->getSelectedUnit(), kRootUnitId);
  EXPECT_EQ(units->selectUnit(0), kNotImplemented);
  UnitID unit = 0;
  EXPECT_EQ(units->getUnitByBus(kAudio, kInput, 0, 0, unit), kNotImplemented);
  EXPECT_EQ(units->setUnitProgramData(0, 0, nullptr), kNotImplemented);
}

TEST_F(Vst3Controller, DescribesTheFactoryPresetsWithoutAnnouncingThem) {
  IUnitInfo* units = mPlug->units;
  EXPECT_EQ(units->getProgramListCount(), 0);
  ProgramListInfo list{};
  ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, static_cast<ProgramListID>(kPresetTag));
  EXPECT_EQ(ToUtf8(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, 1);
  EXPECT_EQ(units->getProgramListInfo(1, list), kResultFalse);

  String128 name{};
  ASSERT_EQ(units->getProgramName(kPresetTag, 0, name), kResultOk);
  EXPECT_EQ(ToUtf8(name), "-");
  ASSERT_EQ(units->getProgramName(kPresetTag, 5, name), kResultOk);
  EXPECT_EQ(ToUtf8(name), "");
  EXPECT_EQ(units->getProgramName(1, 0, name), kResultFalse);
  EXPECT_EQ(units->getProgramInfo(kPresetTag, 0, "x", name), kNotImplemented);
  EXPECT_EQ(units->hasProgramPitchNames(kPresetTag, 0), kNotImplemented);
  EXPECT_EQ(units->getProgramPitchName(kPresetTag, 0, 60, name), kNotImplemented);
}

TEST_F(Vst3Controller, KeepsTheHostSettings) {
  FUnknownPtr<IEditController2> c2(C());
  ASSERT_TRUE(c2);
  EXPECT_EQ(c2->setKnobMode(kLinearMode), kResultTrue);
  EXPECT_EQ(c2->openHelp(false), kResultFalse);
  EXPECT_EQ(c2->openAboutBox(false), kResultFalse);
  TestComponentHandler handler;
  EXPECT_EQ(C()->setComponentHandler(&handler), kResultTrue);
  EXPECT_GT(handler.References(), 1);
  EXPECT_EQ(C()->setComponentHandler(nullptr), kResultTrue);
  EXPECT_EQ(handler.References(), 1);
}
