// The services of IGraphicsLinux that need a window, the pointer or the
// desktop. Without a window the engine draws into its draw bitmap only:
// presenting accepts the region, and what would need the user's answer is
// refused.
#include "graphics/linux/igraphics_linux.h"

bool IGraphicsLinux::DrawScreen(IRECT*) { return true; }

void IGraphicsLinux::ForceEndUserEdit() {}

int IGraphicsLinux::ShowMessageBox(const char*, const char*, int) { return 0; }

IPopupMenu* IGraphicsLinux::CreateIPopupMenu(IPopupMenu*, IRECT*) {
  ReleaseMouseCapture();
  return nullptr;
}

void IGraphicsLinux::CreateTextEntry(IControl*, IText*, IRECT*, const char*, IParam*) {}

void IGraphicsLinux::HostPath(WDL_String* path) {
  if (path) path->Set("");
}

void IGraphicsLinux::PluginPath(WDL_String* path) {
  if (path) path->Set("");
}

void IGraphicsLinux::DesktopPath(WDL_String* path) {
  if (path) path->Set("");
}

void IGraphicsLinux::AppSupportPath(WDL_String* path, bool) {
  if (path) path->Set("");
}

void IGraphicsLinux::SandboxSafeAppSupportPath(WDL_String* path) {
  if (path) path->Set("");
}

void IGraphicsLinux::PromptForFile(WDL_String* fileName, EFileAction, WDL_String*, const char*) {
  if (fileName) fileName->Set("");
}

bool IGraphicsLinux::PromptForColor(IColor*, const char*) { return false; }

void* IGraphicsLinux::OpenWindow(void*) { return nullptr; }

void IGraphicsLinux::CloseWindow() {}

void* IGraphicsLinux::GetWindow() { return nullptr; }

bool IGraphicsLinux::GetTextFromClipboard(WDL_String* str) {
  if (str) str->Set("");
  return false;
}

void IGraphicsLinux::UpdateTooltips() {}
