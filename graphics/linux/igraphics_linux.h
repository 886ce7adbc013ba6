// The editor engine on Linux. The window-independent half (bundle identity,
// images from the bundle's resources, the URL hand-off) lives in
// igraphics_linux.cpp; the operations that need a window, the pointer or the
// desktop (presenting, menus, the text field, dialogs, clipboard) are in
// igraphics_linux_window.cpp. Until a window exists those draw only into the
// draw bitmap and refuse or ignore what needs one.
#pragma once

#include <functional>
#include <memory>

#include "framework/wdl_string.h"
#include "graphics/igraphics.h"

class IGraphicsLinux : public IGraphics {
public:
  // Hands a web address to whatever shows it to the user; true when it did.
  using URLOpener = std::function<bool(const char* url)>;

  IGraphicsLinux(IPlugBase* plug, int w, int h, int fps = 0);
  ~IGraphicsLinux() override;

  // The plug-in bundle's identifier ("com.<maker>.vst3.<name>").
  void SetBundleID(const char* id) { mBundleID.Set(id ? id : ""); }
  const char* GetBundleID() const { return mBundleID.Get(); }

  // Replaces how OpenURL reaches the user (tests record the request instead
  // of starting a browser). An empty opener refuses every address.
  void SetURLOpener(URLOpener opener) { mURLOpener = std::move(opener); }

  // ---- Window-independent ----
  // A PNG from the bundle's Contents/Resources, found by the last path
  // component of the name; any other extension gives null. The id is the
  // cache's business, not the loader's.
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  const char* GetGUIAPI() override { return "Linux GUI"; }

  // ---- Window, desktop and input services ----
  bool DrawScreen(IRECT* rect) override;
  void ForceEndUserEdit() override;
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* rect) override;
  void CreateTextEntry(IControl* control, IText* text, IRECT* rect, const char* str, IParam* param) override;
  void HostPath(WDL_String* path) override;
  void PluginPath(WDL_String* path) override;
  void DesktopPath(WDL_String* path) override;
  void AppSupportPath(WDL_String* path, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(WDL_String* path) override;
  void PromptForFile(WDL_String* fileName, EFileAction action = kFileOpen, WDL_String* dir = nullptr,
                     const char* extensions = "") override;
  bool PromptForColor(IColor* color, const char* prompt = "") override;
  void* OpenWindow(void* parent) override;
  using IGraphics::OpenWindow;
  void CloseWindow() override;
  void* GetWindow() override;
  bool GetTextFromClipboard(WDL_String* str) override;
  void UpdateTooltips() override;

private:
  WDL_String mBundleID;
  URLOpener mURLOpener;
};

// The editor engine for this platform, its bundle identifier set.
std::unique_ptr<IGraphicsLinux> MakeGraphics(IPlugBase* plug, int w, int h, int fps);
