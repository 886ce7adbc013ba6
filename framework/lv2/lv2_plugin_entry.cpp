// The DSP module's one export: the descriptors of the stereo and the mono
// plug-in. Each instance is one IPlugLV2 made by MakeLv2Plug. No feature is
// required, as minimal hosts (Debian's lv2apply) offer none at all: the
// block length comes from the options when a host gives them, and the state
// needs urid:map, from the instantiation or from the state call itself.
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <memory>
#include <new>

#include "framework/byte_chunk.h"
#include "framework/lv2/iplug_lv2.h"
#include "framework/lv2/lv2_uris.h"

namespace {

struct Lv2Instance {
  std::unique_ptr<IPlugLV2> plug;
  LV2_URID stateKey = 0;
  LV2_URID stateType = 0;
};

IPlugLV2* Plug(LV2_Handle handle) { return static_cast<Lv2Instance*>(handle)->plug.get(); }

const void* Feature(const LV2_Feature* const* features, const char* uri) {
  for (; features && *features; ++features)
    if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

// The largest block the host promises, or 0.
int MaxBlockLength(const LV2_Options_Option* options, LV2_URID_Map* map) {
  if (!options) return 0;
  const LV2_URID maxKey = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
  const LV2_URID nominalKey = map->map(map->handle, LV2_BUF_SIZE__nominalBlockLength);
  const LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
  int nominal = 0;
  for (const LV2_Options_Option* o = options; o->key || o->value; ++o) {
    if (o->type != intType || o->size != sizeof(int32_t) || !o->value) continue;
    int32_t value = 0;
    std::memcpy(&value, o->value, sizeof value);
    if (o->key == maxKey) return value;
    if (o->key == nominalKey) nominal = value;
  }
  return nominal;
}

// The state's key and type, mapped once a map is known; false without one.
bool MapStateUrids(Lv2Instance& instance, const LV2_Feature* const* features) {
  if (instance.stateKey != 0) return true;
  auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(Feature(features, LV2_URID__map)));
  if (!map || !map->map) return false;
  instance.stateKey = map->map(map->handle, kLv2StateKeyUri);
  instance.stateType = map->map(map->handle, kLv2StateTypeUri);
  return instance.stateKey != 0 && instance.stateType != 0;
}

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double rate, const char*,
                       const LV2_Feature* const* features, int nChannels) {
  if (!descriptor) return nullptr;
  try {
    auto instance = std::make_unique<Lv2Instance>();
    instance->plug.reset(MakeLv2Plug());
    auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(Feature(features, LV2_URID__map)));
    const auto* options = static_cast<const LV2_Options_Option*>(Feature(features, LV2_OPTIONS__options));
    const int maxBlock = map && map->map ? MaxBlockLength(options, map) : 0;
    if (!instance->plug || !instance->plug->Instantiate(rate, maxBlock, nChannels)) return nullptr;
    MapStateUrids(*instance, features);
    return instance.release();
  } catch (...) {
    return nullptr;
  }
}

LV2_Handle InstantiateStereo(const LV2_Descriptor* d, double rate, const char* path, const LV2_Feature* const* f) {
  return Instantiate(d, rate, path, f, 2);
}

LV2_Handle InstantiateMono(const LV2_Descriptor* d, double rate, const char* path, const LV2_Feature* const* f) {
  return Instantiate(d, rate, path, f, 1);
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) { Plug(handle)->ConnectPort(port, data); }

void Activate(LV2_Handle handle) { Plug(handle)->Activate(); }

void Run(LV2_Handle handle, uint32_t nFrames) { Plug(handle)->Run(nFrames); }

void Deactivate(LV2_Handle handle) { Plug(handle)->Deactivate(); }

void Cleanup(LV2_Handle handle) { delete static_cast<Lv2Instance*>(handle); }

LV2_State_Status SaveState(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle storeHandle,
                           uint32_t, const LV2_Feature* const* features) {
  auto* instance = static_cast<Lv2Instance*>(handle);
  if (!store) return LV2_STATE_ERR_UNKNOWN;
  if (!MapStateUrids(*instance, features)) return LV2_STATE_ERR_NO_FEATURE;
  try {
    ByteChunk chunk;
    if (!instance->plug->SaveState(&chunk)) return LV2_STATE_ERR_UNKNOWN;
    return store(storeHandle, instance->stateKey, chunk.GetBytes(), static_cast<size_t>(chunk.Size()),
                 instance->stateType, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status RestoreState(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                              LV2_State_Handle retrieveHandle, uint32_t, const LV2_Feature* const* features) {
  auto* instance = static_cast<Lv2Instance*>(handle);
  if (!retrieve) return LV2_STATE_ERR_UNKNOWN;
  if (!MapStateUrids(*instance, features)) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* data = retrieve(retrieveHandle, instance->stateKey, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != instance->stateType) return LV2_STATE_ERR_BAD_TYPE;
  try {
    return instance->plug->RestoreState(data, size) ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const LV2_State_Interface kStateInterface = {SaveState, RestoreState};

const void* ExtensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  return nullptr;
}

const LV2_Descriptor kDescriptors[] = {
    {kLv2PluginUri, InstantiateStereo, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
    {kLv2MonoPluginUri, InstantiateMono, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData},
};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index < sizeof kDescriptors / sizeof kDescriptors[0] ? &kDescriptors[index] : nullptr;
}
