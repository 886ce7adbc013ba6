// The editor engine on Linux/X11. The window-independent half (bundle
// identity, images from the bundle's resources, the URL hand-off) lives in
// igraphics_linux.cpp; the child window inside the host's window, its
// presenting and the run-loop hook-up in igraphics_linux_window.cpp; input in
// igraphics_linux_events.cpp; menus, the text field and the desktop services
// in igraphics_linux_services.cpp. Everything runs on the host's UI thread:
// the redraw poll and the X connection's events come through the host's run
// loop, never from a thread of ours.
#pragma once

#include <functional>
#include <memory>

#include "framework/wdl_string.h"
#include "graphics/igraphics.h"
#include "graphics/linux/x11_input.h"

class X11EditorWindow;
class X11TextField;
union _XEvent;

class IGraphicsLinux : public IGraphics, private EditorRunLoopClient {
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

  // The X window id of the open editor window (0 when closed).
  unsigned long GetXWindow() const;
  // Whether the one-line text field is open.
  bool TextEntryIsOpen() const { return mTextField != nullptr; }

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
  // The window registers its timer and its X connection with the host's
  // loop; without a loop it would never update nor see input, so nothing
  // opens. OpenWindow uses the loop handed over last.
  bool OpenWindowOnRunLoop(void* parent, std::unique_ptr<EditorRunLoop> runLoop) override;
  void* OpenWindow(void* parent) override;
  using IGraphics::OpenWindow;
  void CloseWindow() override;
  void* GetWindow() override;
  bool GetTextFromClipboard(WDL_String* str) override;
  void UpdateTooltips() override;
  bool Resize(int w, int h) override;
  // The window, its images, menus and the text field follow the scale.
  void SetScalePercent(int percent) override;
  // GDK_SCALE, else the X resource Xft.dpi over 96, as the nearest step.
  int DesktopScalePercent() override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;

private:
  void OnRunLoopTimer() override;
  void OnRunLoopFdReadable() override;
  void HandleEvent(_XEvent& event);
  void HandleButtonPress(_XEvent& event);
  void HandleButtonRelease(_XEvent& event);
  void HandleMotion(_XEvent& event);
  void HandleKey(_XEvent& event);
  void HandleExpose(_XEvent& event);
  // Ends the text field; applies its text when apply is set.
  void EndTextEntry(bool apply);
  // Presents rect (editor pixels) from the draw bitmap as it is.
  void PresentFromBitmap(const IRECT& rect);
  void PresentDevicePixels(const IRECT& deviceRect);
  // The window takes the view's size and the whole picture again.
  void FollowNewSize();
  // The host destroyed our window under us: forget it without touching it.
  void WindowDestroyedByHost();

  WDL_String mBundleID;
  URLOpener mURLOpener;
  std::unique_ptr<EditorRunLoop> mRunLoop;
  bool mRunLoopStarted = false;
  std::unique_ptr<X11EditorWindow> mWindow;
  std::unique_ptr<X11TextField> mTextField;
  DoubleClickDetector mDoubleClick;
  IRECT mExposed;
  int mPrevX = 0;
  int mPrevY = 0;
  // Keys whose press went on to the host; their release follows it there.
  unsigned char mForwardedKeys[256] = {};
  bool mCursorHidden = false;
  int mHiddenCursorX = -1;
  int mHiddenCursorY = -1;
};

// The editor engine for this platform, its bundle identifier set.
std::unique_ptr<IGraphicsLinux> MakeLinuxGraphics(IPlugBase* plug, int w, int h, int fps);
