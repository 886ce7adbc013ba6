#include "graphics/igraphics_headless.h"

#include "framework/wdl_string.h"
#include "graphics/icontrol.h"
#include "graphics/png_resource.h"
#include "lice/lice_png.h"
#include "lice/lice_resource.h"
#include "lice/lice_sysbitmap.h"

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plug, int w, int h, int fps, const char* resourceFolder)
    : IGraphics(plug, w, h, fps), mResourceFolder(resourceFolder ? resourceFolder : "") {}

IGraphicsHeadless::~IGraphicsHeadless() = default;

bool IGraphicsHeadless::DrawScreen(IRECT* rect) {
  ++mNumPresented;
  if (rect) mLastPresented = *rect;
  return true;
}

// Scripted text is applied as the field opens, so no field is ever left open.
void IGraphicsHeadless::ForceEndUserEdit() {}

int IGraphicsHeadless::ShowMessageBox(const char*, const char*, int) { return 0; }

IPopupMenu* IGraphicsHeadless::CreateIPopupMenu(IPopupMenu* menu, IRECT* rect) {
  ReleaseMouseCapture();
  ++mNumMenusShown;
  if (mMenuAnswers.empty()) return nullptr;
  MenuAnswer answer = std::move(mMenuAnswers.front());
  mMenuAnswers.pop_front();
  return answer ? answer(menu, rect) : nullptr;
}

void IGraphicsHeadless::CreateTextEntry(IControl* control, IText*, IRECT* rect, const char* str, IParam* param) {
  if (!control) return;
  mTextEntryRequests.push_back({control, param, rect ? *rect : IRECT(), str ? str : ""});
  if (mTextAnswers.empty()) return;
  const std::string typed = std::move(mTextAnswers.front());
  mTextAnswers.pop_front();
  if (param)
    SetFromStringAfterPrompt(control, param, typed.c_str());
  else
    control->TextFromTextEntry(typed.c_str());
}

void IGraphicsHeadless::HostPath(WDL_String*) {}
void IGraphicsHeadless::PluginPath(WDL_String*) {}
void IGraphicsHeadless::DesktopPath(WDL_String*) {}
void IGraphicsHeadless::AppSupportPath(WDL_String*, bool) {}
void IGraphicsHeadless::SandboxSafeAppSupportPath(WDL_String*) {}

void IGraphicsHeadless::PromptForFile(WDL_String* fileName, EFileAction, WDL_String*, const char*) {
  if (fileName) fileName->Set("");
}

bool IGraphicsHeadless::PromptForColor(IColor*, const char*) { return false; }

bool IGraphicsHeadless::OpenURL(const char* url, const char*, const char*, const char*) {
  // Recorded, never opened: there is no browser to hand it to.
  if (url) mOpenedURLs.emplace_back(url);
  return false;
}

void* IGraphicsHeadless::OpenWindow(void*) { return nullptr; }

void IGraphicsHeadless::CloseWindow() { EndMouseGesture(); }

bool IGraphicsHeadless::GetTextFromClipboard(WDL_String* str) {
  if (str) str->Set("");
  return false;
}

LICE_IBitmap* IGraphicsHeadless::OSLoadBitmap(int, const char* name) {
  if (PNGResourceFileName(name).empty()) return nullptr;
  if (!mResourceFolder.empty()) LICE_SetResourceFolder(mResourceFolder.c_str());
  return LoadPNGResource(name);
}

bool IGraphicsHeadless::WriteDrawBitmapPNG(const char* path) {
  LICE_SysBitmap* bitmap = GetDrawBitmap();
  return bitmap && path && LICE_WritePNG(path, bitmap);
}
