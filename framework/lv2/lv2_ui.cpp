#include "framework/lv2/lv2_ui.h"

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <string>

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include "framework/host_processing.h"
#include "framework/lv2/lv2_port_map.h"
#include "framework/lv2/lv2_uris.h"
#include "graphics/igraphics.h"
#include "lice/lice_resource.h"

namespace {

const void* Feature(const LV2_Feature* const* features, const char* uri) {
  for (; features && *features; ++features)
    if ((*features)->URI && std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
  return nullptr;
}

bool IsOurPlugin(const char* uri) {
  return uri && (std::strcmp(uri, kLv2PluginUri) == 0 || std::strcmp(uri, kLv2MonoPluginUri) == 0);
}

// The editor's images lie in the bundle the host found the UI in, in
// "resources/"; a host passes the bundle's path with a trailing slash, but
// one without it is taken as well.
std::string ResourceFolder(const char* bundlePath) {
  if (!bundlePath || !*bundlePath) return std::string();
  std::string folder = bundlePath;
  if (folder.back() != '/') folder += '/';
  folder += "resources/";
  struct stat info;
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::string();
  return folder;
}

// The host's ui:scaleFactor option (a float, 1 at 100 %), or 0 without one.
float HostScaleFactor(const LV2_Feature* const* features) {
  const auto* map = static_cast<const LV2_URID_Map*>(Feature(features, LV2_URID__map));
  const auto* option = static_cast<const LV2_Options_Option*>(Feature(features, LV2_OPTIONS__options));
  if (!map || !map->map || !option) return 0.0f;
  const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
  const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
  for (; option->key; ++option)
    if (option->key == key && option->type == floatType && option->size == sizeof(float) && option->value)
      return *static_cast<const float*>(option->value);
  return 0.0f;
}

}  // namespace

std::unique_ptr<Lv2Ui> Lv2Ui::Create(const char* pluginUri, const char* bundlePath, LV2UI_Write_Function write,
                                     LV2UI_Controller controller, LV2UI_Widget* widget,
                                     const LV2_Feature* const* features) {
  void* parent = const_cast<void*>(Feature(features, LV2_UI__parent));
  if (!IsOurPlugin(pluginUri) || !parent || !widget) return nullptr;
  const std::string resources = ResourceFolder(bundlePath);
  if (resources.empty()) return nullptr;
  // The editor loads its images while the plug-in object is made. This
  // module has a resource folder of its own, so a VST3 module in the same
  // process keeps finding its images in its bundle.
  LICE_SetResourceFolder(resources.c_str());

  std::unique_ptr<Lv2Ui> ui(new Lv2Ui(write, controller));
  const auto* resize = static_cast<const LV2UI_Resize*>(Feature(features, LV2_UI__resize));
  if (resize && resize->ui_resize) ui->mResize = resize;
  const auto* touch = static_cast<const LV2UI_Touch*>(Feature(features, LV2_UI__touch));
  if (touch && touch->touch) ui->mTouch = touch;
  if (!ui->Open(pluginUri, parent, widget, HostScaleFactor(features))) return nullptr;
  return ui;
}

Lv2Ui::Lv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller) : mWrite(write), mController(controller) {}

bool Lv2Ui::Open(const char* pluginUri, void* parent, LV2UI_Widget* widget, float scaleFactor) {
  mPlug.reset(MakeLv2Plug());
  IGraphics* gui = mPlug ? mPlug->GetGUI() : nullptr;
  if (!gui) return false;
  mPorts = std::make_unique<Lv2PortMap>(*mPlug, std::strcmp(pluginUri, kLv2MonoPluginUri) == 0 ? 1 : 2);
  // Shaped before the host is listening: it hears the size once, below.
  mPlug->OnGUIViewCreated();
  mPlug->SetEditListener(this);
  // A control's first value from the plug-in only becomes its default and
  // is not drawn. The meters get theirs now, so that the host's first meter
  // value (which it may never repeat) shows.
  for (int m = 0; m < mPlug->NMeters(); ++m) gui->SetControlFromPlug(mPlug->GetMeterControlIdx(m), 0.0);
  // The host's factor first, as for VST3; a nonsense one is refused.
  if (scaleFactor != 0.0f) gui->SetHostScaleFactor(scaleFactor);
  if (!gui->OpenWindowOnRunLoop(parent, std::make_unique<BorrowedRunLoop>(&mLoop))) return false;
  *widget = gui->GetWindow();
  if (mResize) mResize->ui_resize(mResize->handle, gui->ViewWidth(), gui->ViewHeight());
  mPlug->OnGUIOpen();
  return true;
}

Lv2Ui::~Lv2Ui() {
  if (!mPlug) return;
  if (IGraphics* gui = mPlug->GetGUI()) {
    if (gui->WindowIsOpen()) mPlug->OnGUIClose();
    // A gesture still open ends here, and the host hears of it.
    gui->CloseWindow();
  }
  mPlug->SetEditListener(nullptr);
}

int Lv2Ui::Idle() {
  IGraphics* gui = mPlug->GetGUI();
  if (!gui || !gui->WindowIsOpen()) return 1;
  mLoop.Idle();
  return gui->WindowIsOpen() ? 0 : 1;
}

void Lv2Ui::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
  if (format != 0 || bufferSize != sizeof(float) || !buffer || port >= static_cast<uint32_t>(mPorts->NPorts()))
    return;
  float value = 0.0f;
  std::memcpy(&value, buffer, sizeof value);
  if (!std::isfinite(value)) return;
  const int p = static_cast<int>(port);
  const int paramIdx = mPorts->PortParam(p);
  if (paramIdx >= 0) {
    const IParam* param = mPlug->GetParam(paramIdx);
    // The host echoing our own edit, rounded to a float: the parameter keeps
    // the exact value the editor gave it.
    if (value == static_cast<float>(param->Value())) return;
    // As any host change: shown in the editor, never sent back as an edit.
    ApplyHostParamChange(*mPlug, paramIdx, param->GetNormalized(value));
    return;
  }
  const int meter = mPorts->PortMeter(p);
  IGraphics* gui = mPlug->GetGUI();
  if (meter >= 0 && gui) gui->SetControlFromPlug(mPlug->GetMeterControlIdx(meter), value);
}

int Lv2Ui::ParamPort(int paramIdx) const { return mPorts ? mPorts->ParamPort(paramIdx) : -1; }

void Lv2Ui::Touch(int paramIdx, bool grabbed) {
  const int port = ParamPort(paramIdx);
  if (mTouch && port >= 0) mTouch->touch(mTouch->handle, static_cast<uint32_t>(port), grabbed);
}

void Lv2Ui::BeginEdit(int paramIdx) { Touch(paramIdx, true); }

void Lv2Ui::EndEdit(int paramIdx) { Touch(paramIdx, false); }

void Lv2Ui::Edit(int paramIdx, double) {
  const int port = ParamPort(paramIdx);
  const IParam* param = mPlug->GetParam(paramIdx);
  if (!mWrite || port < 0 || !param) return;
  // The parameter already holds the edit, in its own units and, for the
  // integer kinds, on its steps, as the host's port wants it.
  const float value = static_cast<float>(param->Value());
  mWrite(mController, static_cast<uint32_t>(port), sizeof value, 0, &value);
}

bool Lv2Ui::ResizeEditor(int w, int h) {
  // A host without ui:resize follows the window's own size, if at all.
  return !mResize || mResize->ui_resize(mResize->handle, w, h) == 0;
}
