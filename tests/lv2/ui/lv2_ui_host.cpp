#include "tests/lv2/ui/lv2_ui_host.h"

#include <dlfcn.h>
#include <unistd.h>

#include <lv2/atom/atom.h>

#include <chrono>
#include <cstring>
#include <memory>

#include "framework/lv2/lv2_uris.h"
#include "lice/lice_bitmap.h"
#include "lice/lice_png.h"

namespace lv2uitest {

UiModule& UiModule::Get() {
  static UiModule module;
  return module;
}

UiModule::UiModule() {
  mHandle = dlopen(MORVANTE_LV2_UI_SO, RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    mError = dlerror();
    return;
  }
  Entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(mHandle, "lv2ui_descriptor"));
  if (!Entry) {
    mError = "no lv2ui_descriptor";
    return;
  }
  // A host looks the UI up by its URI.
  for (uint32_t i = 0; const LV2UI_Descriptor* d = Entry(i); ++i)
    if (d->URI && std::strcmp(d->URI, kLv2UiUri) == 0) mDescriptor = d;
  if (!mDescriptor) mError = "no descriptor for the UI's URI";
}

int PixelsDifferingFromArtwork(const std::vector<uint32_t>& shown) {
  static const std::unique_ptr<LICE_IBitmap> artwork(
      LICE_LoadPNG((std::string(MORVANTE_LV2_BUNDLE_DIR) + "resources/BG.png").c_str()));
  constexpr int n = kArtworkPatchSize;
  if (!artwork || shown.size() != static_cast<size_t>(n * n)) return n * n;
  int differing = 0;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const uint32_t drawn = artwork->getBits()[(kArtworkPatchY + y) * artwork->getRowSpan() + kArtworkPatchX + x];
      if ((drawn & 0xFFFFFF) != shown[static_cast<size_t>(y * n + x)]) ++differing;
    }
  return differing;
}

UiHost::UiHost() : UiHost(Options()) {}

bool UiHost::Open(unsigned long parent, const char* pluginUri, const char* bundlePath) {
  Close();
  const LV2UI_Descriptor* d = UiModule::Get().Descriptor();
  if (!d) return false;
  mMap = {this, Map};
  mTouch = {this, Touch};
  mResize = {this, Resize};
  const LV2_Feature mapFeature = {LV2_URID__map, &mMap};
  const LV2_Feature parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(parent)};
  const LV2_Feature touchFeature = {LV2_UI__touch, &mTouch};
  const LV2_Feature resizeFeature = {LV2_UI__resize, &mResize};
  const LV2_Feature idleFeature = {LV2_UI__idleInterface, nullptr};
  const float scaleFactor = mOptions.scaleFactor;
  const LV2_Options_Option options[] = {
      {LV2_OPTIONS_INSTANCE, 0, Map(this, LV2_UI__scaleFactor), sizeof scaleFactor, Map(this, LV2_ATOM__Float),
       &scaleFactor},
      {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  const LV2_Feature optionsFeature = {LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
  std::vector<const LV2_Feature*> features = {&idleFeature};
  if (scaleFactor != 0.0f) features.push_back(&optionsFeature);
  if (mOptions.offerMap) features.push_back(&mapFeature);
  if (mOptions.offerParent) features.push_back(&parentFeature);
  if (mOptions.offerTouch) features.push_back(&touchFeature);
  if (mOptions.offerResize) features.push_back(&resizeFeature);
  features.push_back(nullptr);
  mWidget = nullptr;
  mHandle = d->instantiate(d, pluginUri, bundlePath, Write, this, &mWidget, features.data());
  if (!mHandle) return false;
  mIdle = d->extension_data ? static_cast<const LV2UI_Idle_Interface*>(d->extension_data(LV2_UI__idleInterface))
                            : nullptr;
  return true;
}

void UiHost::Close() {
  if (!mHandle) return;
  UiModule::Get().Descriptor()->cleanup(mHandle);
  mHandle = nullptr;
  mIdle = nullptr;
}

int UiHost::IdleFor(int ms) {
  int answer = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  do {
    if (mHandle && mIdle) answer = mIdle->idle(mHandle);
    usleep(3000);
  } while (std::chrono::steady_clock::now() < end);
  return answer;
}

void UiHost::PortEvent(uint32_t port, float value) { RawPortEvent(port, sizeof value, 0, &value); }

void UiHost::RawPortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  if (mHandle) UiModule::Get().Descriptor()->port_event(mHandle, port, size, format, buffer);
}

void UiHost::Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                   const void* buffer) {
  auto* host = static_cast<UiHost*>(controller);
  float value = 0.0f;
  // Anything but the float protocol is a fault of the UI's: recorded as NaN.
  if (protocol == 0 && size == sizeof value && buffer) std::memcpy(&value, buffer, sizeof value);
  else value = __builtin_nanf("");
  host->calls.push_back({'w', port, value});
}

void UiHost::Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
  static_cast<UiHost*>(handle)->calls.push_back({grabbed ? 't' : 'r', port, 0.0f});
}

int UiHost::Resize(LV2UI_Feature_Handle handle, int w, int h) {
  auto* host = static_cast<UiHost*>(handle);
  host->calls.push_back({'s', static_cast<uint32_t>(h), static_cast<float>(w)});
  return host->mOptions.refuseResize ? 1 : 0;
}

LV2_URID UiHost::Map(LV2_URID_Map_Handle handle, const char* uri) {
  auto* host = static_cast<UiHost*>(handle);
  for (size_t i = 0; i < host->mUris.size(); ++i)
    if (host->mUris[i] == uri) return static_cast<LV2_URID>(i + 1);
  host->mUris.emplace_back(uri);
  return static_cast<LV2_URID>(host->mUris.size());
}

}  // namespace lv2uitest
