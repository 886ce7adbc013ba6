// An engine without a window, for tests and offline rendering: drawing goes
// to the draw bitmap only, images load from a resource folder, and menus and
// text fields answer from queues a test fills beforehand.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "graphics/igraphics.h"

class IGraphicsHeadless : public IGraphics {
public:
  // A scripted user at the next CreateIPopupMenu: sets the chosen item of
  // the menu it picks from and returns that menu, or returns null to dismiss.
  using MenuAnswer = std::function<IPopupMenu*(IPopupMenu* menu, IRECT* rect)>;
  // What CreateTextEntry was asked for.
  struct TextEntryRequest {
    IControl* control;
    IParam* param;
    IRECT rect;
    std::string text;
  };

  // resourceFolder: where OSLoadBitmap finds images (null or "" leaves the
  // raster library's current folder).
  IGraphicsHeadless(IPlugBase* plug, int w, int h, int fps = 0, const char* resourceFolder = nullptr);
  ~IGraphicsHeadless() override;

  bool DrawScreen(IRECT* rect) override;
  void ForceEndUserEdit() override;
  const char* GetGUIAPI() override { return "Headless"; }
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
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  // A headless engine has no view: "opening" one only records the parent.
  void* OpenWindow(void* parent) override;
  using IGraphics::OpenWindow;
  void CloseWindow() override;
  void* GetWindow() override { return nullptr; }
  bool GetTextFromClipboard(WDL_String* str) override;
  void UpdateTooltips() override {}
  // PNG files only (by extension, any case), from the resource folder.
  LICE_IBitmap* OSLoadBitmap(int id, const char* name) override;

  // ---- Scripting and inspection for tests ----
  // With no answer queued a menu is dismissed.
  void QueueMenuAnswer(MenuAnswer answer) { mMenuAnswers.push_back(std::move(answer)); }
  // The text the user "types" into the next text field; it is applied at
  // once, as the platform does when editing ends.
  void QueueTextEntryAnswer(const char* text) { mTextAnswers.emplace_back(text ? text : ""); }
  // Writes the draw bitmap to a PNG file.
  bool WriteDrawBitmapPNG(const char* path);

  int NumPresented() const { return mNumPresented; }
  const IRECT& LastPresented() const { return mLastPresented; }
  int NumMenusShown() const { return mNumMenusShown; }
  const std::deque<TextEntryRequest>& TextEntryRequests() const { return mTextEntryRequests; }
  const std::deque<std::string>& OpenedURLs() const { return mOpenedURLs; }

private:
  std::string mResourceFolder;
  std::deque<MenuAnswer> mMenuAnswers;
  std::deque<std::string> mTextAnswers;
  std::deque<TextEntryRequest> mTextEntryRequests;
  std::deque<std::string> mOpenedURLs;
  int mNumPresented = 0;
  IRECT mLastPresented;
  int mNumMenusShown = 0;
};
