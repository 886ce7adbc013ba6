// The module's entry points, factory and class description.
#include <dlfcn.h>

#include <cstring>

#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

TEST(Vst3Module, ExportsTheEntryPointsAndCountsEntries) {
  PluginModule& module = Module();
  ASSERT_TRUE(module.Loaded()) << module.Error();
  // A second entry and its exit balance; an exit beyond the entries is
  // refused.
  EXPECT_TRUE(module.moduleEntry(nullptr));
  EXPECT_TRUE(module.moduleExit());
  PluginModule second(MORVANTE_VST3_SO);
  ASSERT_TRUE(second.Loaded());
}

TEST(Vst3Module, ExitWithoutEntryIsRefused) {
  PluginModule& module = Module();
  ASSERT_TRUE(module.Loaded());
  // Module() entered once: its exit brings the count to zero, and one more
  // exit has no entry to match.
  ASSERT_TRUE(module.moduleExit());
  EXPECT_FALSE(module.moduleExit());
  ASSERT_TRUE(module.moduleEntry(nullptr));
}

TEST(Vst3Factory, SecondCallReturnsTheSameFactoryWithOneMoreReference) {
  PluginModule& module = Module();
  IPluginFactory* again = module.getFactory();
  ASSERT_EQ(again, module.Factory());
  // The module's reference, this one, and the one addRef adds.
  EXPECT_EQ(again->addRef(), 3u);
  EXPECT_EQ(again->release(), 2u);
  EXPECT_EQ(again->countClasses(), 1);
  again->release();
}

TEST(Vst3Factory, DescribesTheMaker) {
  PFactoryInfo info{};
  ASSERT_EQ(Module().Factory()->getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Penvarrowsonics");
  EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
  EXPECT_GT(std::strlen(info.url), 0u);
  EXPECT_GT(std::strlen(info.email), 0u);
}

TEST(Vst3Factory, DescribesTheOneClassInAllThreeForms) {
  IPluginFactory* factory = Module().Factory();
  ASSERT_EQ(factory->countClasses(), 1);

  PClassInfo info{};
  ASSERT_EQ(factory->getClassInfo(0, &info), kResultOk);
  EXPECT_EQ(std::memcmp(info.cid, kMorvanteCid, sizeof(TUID)), 0);
  EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "MORVANTE");
  EXPECT_NE(factory->getClassInfo(1, &info), kResultOk);
  EXPECT_NE(factory->getClassInfo(-1, &info), kResultOk);

  FUnknownPtr<IPluginFactory2> factory2(factory);
  ASSERT_TRUE(factory2);
  PClassInfo2 info2{};
  ASSERT_EQ(factory2->getClassInfo2(0, &info2), kResultOk);
  EXPECT_EQ(std::memcmp(info2.cid, kMorvanteCid, sizeof(TUID)), 0);
  EXPECT_STREQ(info2.category, "Audio Module Class");
  EXPECT_STREQ(info2.name, "MORVANTE");
  EXPECT_EQ(info2.classFlags, 2u);
  EXPECT_STREQ(info2.subCategories, "Fx|EQ");
  EXPECT_STREQ(info2.vendor, "");
  EXPECT_STREQ(info2.version, "2.0.0");
  EXPECT_STREQ(info2.sdkVersion, "VST 3.6.12");
  EXPECT_NE(factory2->getClassInfo2(1, &info2), kResultOk);

  FUnknownPtr<IPluginFactory3> factory3(factory);
  ASSERT_TRUE(factory3);
  PClassInfoW infoW{};
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &infoW), kResultOk);
  EXPECT_EQ(std::memcmp(infoW.cid, kMorvanteCid, sizeof(TUID)), 0);
  EXPECT_STREQ(infoW.category, "Audio Module Class");
  EXPECT_EQ(ToUtf8(infoW.name), "MORVANTE");
  EXPECT_STREQ(infoW.subCategories, "Fx|EQ");
  EXPECT_EQ(ToUtf8(infoW.version), "2.0.0");
  EXPECT_EQ(ToUtf8(infoW.sdkVersion), "VST 3.6.12");
  EXPECT_EQ(factory3->setHostContext(nullptr), kNotImplemented);
}

TEST(Vst3Factory, RefusesAnotherClassId) {
  TUID other;
  std::memcpy(other, kMorvanteCid, sizeof other);
  other[15] ^= 1;  // only the last byte differs
  void* obj = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(Module().Factory()->createInstance(other, IComponent::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST(Vst3Factory, RefusesAnInterfaceTheObjectLacks) {
  void* obj = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(Module().Factory()->createInstance(kMorvanteCid, IPluginFactory::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST(Vst3Factory, InstancesAreIndependent) {
  auto first = std::make_unique<PluginInstance>(Module().Factory(), kMorvanteCid);
  auto second = std::make_unique<PluginInstance>(Module().Factory(), kMorvanteCid);
  ASSERT_NE(first->component, nullptr);
  ASSERT_NE(second->component, nullptr);
  EXPECT_NE(static_cast<void*>(first->component), static_cast<void*>(second->component));
  ASSERT_EQ(first->component->initialize(nullptr), kResultOk);
  ASSERT_EQ(second->component->initialize(nullptr), kResultOk);
  ASSERT_EQ(first->controller->setParamNormalized(kLowGain, 0.9), kResultOk);
  EXPECT_DOUBLE_EQ(second->controller->getParamNormalized(kLowGain), 0.5);
  first->component->terminate();
  first.reset();
  EXPECT_EQ(second->controller->setParamNormalized(kLowGain, 0.25), kResultOk);
  EXPECT_DOUBLE_EQ(second->controller->getParamNormalized(kLowGain), 0.25);
  second->component->terminate();
}

TEST(Vst3Module, ExportsNothingButTheEntryPoints) {
  ASSERT_TRUE(Module().Loaded());
  void* handle = dlopen(MORVANTE_VST3_SO, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  EXPECT_NE(dlsym(handle, "GetPluginFactory"), nullptr);
  EXPECT_NE(dlsym(handle, "ModuleEntry"), nullptr);
  EXPECT_NE(dlsym(handle, "ModuleExit"), nullptr);
  // The bundle's own and the SDK's symbols stay inside it.
  EXPECT_EQ(dlsym(handle, "_Z8MakePlugv"), nullptr);
  EXPECT_EQ(dlsym(handle, "_Z17GetPlugModuleInfov"), nullptr);
  EXPECT_EQ(dlsym(handle, "gPluginFactory"), nullptr);
  EXPECT_EQ(dlsym(handle, "_ZN9Steinberg3Vst14EditController12hostKnobModeE"), nullptr);
  dlclose(handle);
}
