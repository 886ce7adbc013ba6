// The plug-in's editor as an LV2 user interface (an X11 UI): a plug-in
// object of its own whose editor is embedded in the host's parent window and
// runs on the host's idle calls. It reaches the processing instance only
// through its ports: edits go out through the host's write function (plain
// values in the parameter's units), with touch around every gesture when the
// host offers it; port events from the host move the controls and meters.
#pragma once

#include <lv2/ui/ui.h>

#include <memory>

#include "framework/lv2/iplug_lv2.h"
#include "framework/lv2/lv2_idle_run_loop.h"

class Lv2PortMap;

class Lv2Ui final : public Lv2EditListener {
public:
  // Null when the plug-in URI is not one of ours, the host gives no parent
  // window, the bundle has no resources folder or the window cannot open.
  static std::unique_ptr<Lv2Ui> Create(const char* pluginUri, const char* bundlePath, LV2UI_Write_Function write,
                                       LV2UI_Controller controller, LV2UI_Widget* widget,
                                       const LV2_Feature* const* features);
  // Closes the window; the run loop is left with nothing registered.
  ~Lv2Ui() override;
  Lv2Ui(const Lv2Ui&) = delete;
  Lv2Ui& operator=(const Lv2Ui&) = delete;

  // A float port's new value (format 0). Anything else is ignored.
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
  // 0 while the editor is shown; 1 once its window is gone, when the host
  // should close the UI.
  int Idle();

  // Lv2EditListener: the editor's edits, to the host.
  void BeginEdit(int paramIdx) override;
  void Edit(int paramIdx, double normalizedValue) override;
  void EndEdit(int paramIdx) override;
  bool ResizeEditor(int w, int h) override;

private:
  Lv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller);
  // scaleFactor: the host's ui:scaleFactor, 0 without one.
  bool Open(const char* pluginUri, void* parent, LV2UI_Widget* widget, float scaleFactor);
  // The port of a parameter the host has one for, or -1.
  int ParamPort(int paramIdx) const;
  void Touch(int paramIdx, bool grabbed);

  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  const LV2UI_Resize* mResize = nullptr;
  const LV2UI_Touch* mTouch = nullptr;
  // The engine holds a handle on the loop while its window is open, so the
  // loop outlives the plug-in (and its engine).
  Lv2IdleRunLoop mLoop;
  std::unique_ptr<IPlugLV2> mPlug;
  std::unique_ptr<Lv2PortMap> mPorts;
};
