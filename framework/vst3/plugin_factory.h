// The module's class factory: describes the classes it registers and makes
// instances of them by 16-byte class ID.
#pragma once

#include <atomic>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

class CPluginFactory : public Steinberg::IPluginFactory3 {
public:
  // Makes a new object holding one reference; null when it cannot.
  using CreateFunction = Steinberg::FUnknown* (*)(void* context);

  explicit CPluginFactory(const Steinberg::PFactoryInfo& info);
  virtual ~CPluginFactory();
  CPluginFactory(const CPluginFactory&) = delete;
  CPluginFactory& operator=(const CPluginFactory&) = delete;

  // False when the class ID is registered already.
  bool registerClass(const Steinberg::PClassInfo2& info, CreateFunction createFunc, void* context = nullptr);

  // FUnknown.
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

  // IPluginFactory, IPluginFactory2, IPluginFactory3.
  Steinberg::tresult PLUGIN_API getFactoryInfo(Steinberg::PFactoryInfo* info) override;
  Steinberg::int32 PLUGIN_API countClasses() override;
  Steinberg::tresult PLUGIN_API getClassInfo(Steinberg::int32 index, Steinberg::PClassInfo* info) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::FIDString cid, Steinberg::FIDString iid,
                                               void** obj) override;
  Steinberg::tresult PLUGIN_API getClassInfo2(Steinberg::int32 index, Steinberg::PClassInfo2* info) override;
  Steinberg::tresult PLUGIN_API getClassInfoUnicode(Steinberg::int32 index, Steinberg::PClassInfoW* info) override;
  Steinberg::tresult PLUGIN_API setHostContext(Steinberg::FUnknown* context) override;

private:
  struct ClassEntry {
    Steinberg::PClassInfo2 info;
    CreateFunction createFunc;
    void* context;
  };
  const ClassEntry* FindClass(Steinberg::FIDString cid) const;
  const ClassEntry* ClassAt(Steinberg::int32 index) const;

  std::atomic<Steinberg::uint32> mRefCount{1};
  Steinberg::PFactoryInfo mFactoryInfo;
  std::vector<ClassEntry> mClasses;
};

// The one factory of the process, null until GetPluginFactory makes it and
// again once its last reference is released.
extern CPluginFactory* gPluginFactory;
