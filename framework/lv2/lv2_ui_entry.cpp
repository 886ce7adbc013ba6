// The UI module's one export: the descriptor of the editor, a ui:X11UI run
// on the host's idle calls. No exception leaves the module.
#include <lv2/ui/ui.h>

#include <cstring>

#include "framework/lv2/lv2_ui.h"
#include "framework/lv2/lv2_uris.h"

namespace {

Lv2Ui* Ui(LV2UI_Handle handle) { return static_cast<Lv2Ui*>(handle); }

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char* bundlePath,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  try {
    return Lv2Ui::Create(pluginUri, bundlePath, write, controller, widget, features).release();
  } catch (...) {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle) {
  try {
    delete Ui(handle);
  } catch (...) {
  }
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
  try {
    Ui(handle)->PortEvent(port, bufferSize, format, buffer);
  } catch (...) {
  }
}

int Idle(LV2UI_Handle handle) {
  try {
    return Ui(handle)->Idle();
  } catch (...) {
    // A UI that cannot go on asks to be closed.
    return 1;
  }
}

const LV2UI_Idle_Interface kIdleInterface = {Idle};

const void* ExtensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {kLv2UiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
