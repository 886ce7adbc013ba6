#include "framework/vst3/plugin_factory.h"

#include <cstring>

using namespace Steinberg;

CPluginFactory* gPluginFactory = nullptr;

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : mFactoryInfo(info) {}

CPluginFactory::~CPluginFactory() {
  if (gPluginFactory == this) gPluginFactory = nullptr;
}

bool CPluginFactory::registerClass(const PClassInfo2& info, CreateFunction createFunc, void* context) {
  if (!createFunc || FindClass(reinterpret_cast<FIDString>(info.cid))) return false;
  mClasses.push_back(ClassEntry{info, createFunc, context});
  return true;
}

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  QUERY_INTERFACE(iid, obj, FUnknown::iid, IPluginFactory)
  QUERY_INTERFACE(iid, obj, IPluginFactory::iid, IPluginFactory)
  QUERY_INTERFACE(iid, obj, IPluginFactory2::iid, IPluginFactory2)
  QUERY_INTERFACE(iid, obj, IPluginFactory3::iid, IPluginFactory3)
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef() { return mRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }

uint32 PLUGIN_API CPluginFactory::release() {
  // Acquire-release: whoever deletes must see every other owner's writes.
  const uint32 left = mRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete this;
  return left;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info) {
  if (!info) return kInvalidArgument;
  *info = mFactoryInfo;
  return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses() { return static_cast<int32>(mClasses.size()); }

const CPluginFactory::ClassEntry* CPluginFactory::ClassAt(int32 index) const {
  if (index < 0 || static_cast<size_t>(index) >= mClasses.size()) return nullptr;
  return &mClasses[static_cast<size_t>(index)];
}

const CPluginFactory::ClassEntry* CPluginFactory::FindClass(FIDString cid) const {
  if (!cid) return nullptr;
  for (const ClassEntry& entry : mClasses)
    if (std::memcmp(entry.info.cid, cid, sizeof(TUID)) == 0) return &entry;
  return nullptr;
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info) {
  const ClassEntry* entry = ClassAt(index);
  if (!info || !entry) return kInvalidArgument;
  std::memcpy(info->cid, entry->info.cid, sizeof(TUID));
  info->cardinality = entry->info.cardinality;
  strncpy8(info->category, entry->info.category, PClassInfo::kCategorySize);
  strncpy8(info->name, entry->info.name, PClassInfo::kNameSize);
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
  const ClassEntry* entry = ClassAt(index);
  if (!info || !entry) return kInvalidArgument;
  *info = entry->info;
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  const ClassEntry* entry = ClassAt(index);
  if (!info || !entry) return kInvalidArgument;
  info->fromAscii(entry->info);
  return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  const ClassEntry* entry = FindClass(cid);
  if (!entry || !iid) return kNoInterface;
  FUnknown* instance = entry->createFunc(entry->context);
  if (!instance) return kOutOfMemory;
  if (instance->queryInterface(reinterpret_cast<const char*>(iid), obj) != kResultOk) *obj = nullptr;
  instance->release();
  return *obj ? kResultOk : kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown*) { return kNotImplemented; }
