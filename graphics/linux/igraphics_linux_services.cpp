// Menus, the text field and the desktop services of the Linux editor.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <dlfcn.h>
#include <poll.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/editor_scale.h"
#include "graphics/icontrol.h"
#include "graphics/linux/child_process.h"
#include "graphics/linux/igraphics_linux.h"
#include "graphics/linux/x11_editor_window.h"
#include "graphics/linux/x11_popup_menu.h"
#include "graphics/linux/x11_text_field.h"
#include "lice/lice_text.h"

namespace {
std::string HomeFolder() {
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof(buffer), &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return "/tmp";
}

// The loaded module that holds this code.
std::string ModulePath() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&HomeFolder), &info) && info.dli_fname) return info.dli_fname;
  return "";
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void TrimNewline(std::string* s) {
  while (!s->empty() && (s->back() == '\n' || s->back() == '\r')) s->pop_back();
}

// The menus' text at 100 %.
constexpr int kMenuTextSize = 12;

// The resource database's "Xft.dpi: 144" over 96 dpi, as the nearest step;
// 0 without a usable entry.
int ScalePercentForXftDpi(const char* resources) {
  const std::string text = resources;
  for (size_t at = text.find("Xft.dpi"); at != std::string::npos; at = text.find("Xft.dpi", at + 1)) {
    if (at > 0 && text[at - 1] != '\n') continue;
    size_t colon = text.find_first_not_of(" \t", at + 7);
    if (colon == std::string::npos || text[colon] != ':') continue;
    const double dpi = std::strtod(text.c_str() + colon + 1, nullptr);
    if (dpi > 0.0) return NearestScalePercent(dpi / 96.0 * 100.0);
  }
  return 0;
}

// Yes/No/Cancel-style answers: first button 1, "No" 7, "Cancel" 2, else 0.
constexpr int kAnswerFirst = 1;
constexpr int kAnswerNo = 7;
constexpr int kAnswerCancel = 2;
}  // namespace

// ---- Pop-up menus ----

IPopupMenu* IGraphicsLinux::CreateIPopupMenu(IPopupMenu* menu, IRECT* rect) {
  ReleaseMouseCapture();
  if (!mWindow || !menu || !rect) return nullptr;
  if (mTextField) EndTextEntry(false);
  mWindow->UngrabPointer(CurrentTime);
  // Below the rectangle's bottom-left corner, in screen pixels.
  Display* display = mWindow->GetDisplay();
  const IRECT device = ToDevice(*rect);
  int screenX = device.L;
  int screenY = device.B;
  Window child = 0;
  XTranslateCoordinates(display, mWindow->GetWindow(), DefaultRootWindow(display), device.L, device.B, &screenX,
                        &screenY, &child);
  IText style(ScaleEdge(kMenuTextSize, ScalePercent()), COLOR_BLACK);
  X11PopupMenu popup(menu, CacheFont(&style), ScalePercent());
  return popup.Run(screenX, screenY);
}

// ---- The desktop's scale ----

int IGraphicsLinux::DesktopScalePercent() {
  // GTK's whole-number factor, which desktops set for every program.
  if (const char* gdk = std::getenv("GDK_SCALE"); gdk && *gdk) {
    char* end = nullptr;
    const double factor = std::strtod(gdk, &end);
    if (!*end && factor > 0.0) return NearestScalePercent(factor * 100.0);
  }
  Display* display = mWindow ? mWindow->GetDisplay() : XOpenDisplay(nullptr);
  if (!display) return 0;
  int percent = 0;
  if (const char* resources = XResourceManagerString(display)) percent = ScalePercentForXftDpi(resources);
  if (!mWindow) XCloseDisplay(display);
  return percent;
}

// ---- The text field ----

void IGraphicsLinux::CreateTextEntry(IControl* control, IText* text, IRECT* rect, const char* str, IParam* param) {
  if (!mWindow || !control || !text || !rect || mTextField) return;
  mTextField = std::make_unique<X11TextField>(control, param, *text, *rect, str);
  mWindow->TakeFocus(CurrentTime);
  IRECT r = mTextField->Rect();
  mTextField->Draw(this);
  PresentFromBitmap(r);
}

void IGraphicsLinux::EndTextEntry(bool apply) {
  if (!mTextField) return;
  // The field goes first: applying may open another one.
  std::unique_ptr<X11TextField> field = std::move(mTextField);
  if (apply) {
    if (field->Param())
      SetFromStringAfterPrompt(field->Control(), field->Param(), field->Text().c_str());
    else
      field->Control()->TextFromTextEntry(field->Text().c_str());
  }
  // What the field covered.
  IRECT r = field->Rect();
  if (mWindow) Draw(&r);
}

void IGraphicsLinux::ForceEndUserEdit() { EndTextEntry(false); }

// ---- Tooltips ----

// The editor registers no tooltip areas: hosts show their own parameter
// names, and nothing here enables tooltips.
void IGraphicsLinux::UpdateTooltips() {}

// ---- Folders ----

void IGraphicsLinux::HostPath(WDL_String* path) {
  if (!path) return;
  const std::string module = ModulePath();
  if (!module.empty()) path->Set(module.c_str());
}

void IGraphicsLinux::PluginPath(WDL_String* path) {
  if (!path) return;
  // <folder>/MORVANTE.vst3/Contents/x86_64-linux/MORVANTE.so
  const std::string bundle = ParentFolder(ParentFolder(ParentFolder(ModulePath())));
  const std::string folder = ParentFolder(bundle);
  if (!folder.empty()) path->Set((folder + "/").c_str());
}

void IGraphicsLinux::DesktopPath(WDL_String* path) {
  if (path) path->Set((HomeFolder() + "/Desktop").c_str());
}

void IGraphicsLinux::AppSupportPath(WDL_String* path, bool isSystem) {
  if (path) path->Set(isSystem ? "/usr/share" : (HomeFolder() + "/.local/share").c_str());
}

void IGraphicsLinux::SandboxSafeAppSupportPath(WDL_String* path) {
  if (path) path->Set((HomeFolder() + "/Music").c_str());
}

// ---- Dialogs, through the desktop's dialog programs ----

void IGraphicsLinux::PromptForFile(WDL_String* fileName, EFileAction action, WDL_String* dir,
                                   const char* extensions) {
  if (!fileName) return;
  if (!mWindow) {
    fileName->Set("");
    return;
  }
  const std::string defaultName = fileName->Get();
  std::string startDir = dir && dir->GetLength() ? dir->Get() : "";
  if (startDir.empty()) {
    WDL_String desktop;
    DesktopPath(&desktop);
    startDir = desktop.Get();
    if (dir) dir->Set(startDir.c_str());
  }
  fileName->Set("");
  std::string patterns;
  for (const char* p = extensions ? extensions : ""; *p;) {
    const char* end = p;
    while (*end && *end != ' ') ++end;
    if (end > p) patterns += (patterns.empty() ? "*." : " *.") + std::string(p, static_cast<size_t>(end - p));
    p = *end ? end + 1 : end;
  }
  std::string start = startDir;
  if (start.empty() || start.back() != '/') start += '/';
  start += defaultName;

  std::string chosen;
  int status = -1;
  std::vector<std::string> zenity = {"--file-selection", "--filename=" + start};
  if (action == kFileSave) {
    zenity.push_back("--save");
    zenity.push_back("--confirm-overwrite");
  }
  if (!patterns.empty()) zenity.push_back("--file-filter=" + patterns);
  if (!RunAndCapture("zenity", zenity, &chosen, &status)) {
    std::vector<std::string> kdialog = {action == kFileSave ? "--getsavefilename" : "--getopenfilename", start};
    if (!patterns.empty()) kdialog.push_back(patterns);
    // Neither program: nothing can be asked, and no file is chosen.
    if (!RunAndCapture("kdialog", kdialog, &chosen, &status)) return;
  }
  TrimNewline(&chosen);
  if (status != 0 || chosen.empty()) return;
  fileName->Set(chosen.c_str());
  if (dir) dir->Set((ParentFolder(chosen) + "/").c_str());
}

bool IGraphicsLinux::PromptForColor(IColor*, const char*) { return false; }

int IGraphicsLinux::ShowMessageBox(const char* text, const char* caption, int type) {
  const std::string message = text ? text : "";
  const std::string title = caption ? caption : "";
  std::string out;
  int status = -1;
  std::vector<std::string> zenity = {"--title=" + title, "--text=" + message};
  if (type == 3 || type == 4 || type == 1) {
    zenity.insert(zenity.begin(), "--question");
    zenity.push_back(type == 1 ? "--ok-label=OK" : "--ok-label=Yes");
    zenity.push_back(type == 1 ? "--cancel-label=Cancel" : "--cancel-label=No");
    if (type == 3) zenity.push_back("--extra-button=Cancel");
  } else {
    zenity.insert(zenity.begin(), "--info");
  }
  if (RunAndCapture("zenity", zenity, &out, &status)) {
    TrimNewline(&out);
    if (status == 0) return kAnswerFirst;
    if (type == 3 && out == "Cancel") return kAnswerCancel;
    if (status == 1 && (type == 3 || type == 4)) return kAnswerNo;
    if (status == 1 && type == 1) return kAnswerCancel;
    return 0;
  }
  std::vector<std::string> kdialog;
  if (type == 3)
    kdialog = {"--title", title, "--yesnocancel", message};
  else if (type == 4)
    kdialog = {"--title", title, "--yesno", message};
  else if (type == 1)
    kdialog = {"--title", title, "--yes-label", "OK", "--no-label", "Cancel", "--yesno", message};
  else
    kdialog = {"--title", title, "--msgbox", message};
  // Neither program: a clear refusal, nothing was answered.
  if (!RunAndCapture("kdialog", kdialog, &out, &status)) return 0;
  if (status == 0) return kAnswerFirst;
  if (status == 1) return type == 1 ? kAnswerCancel : (type == 3 || type == 4 ? kAnswerNo : 0);
  if (status == 2 && type == 3) return kAnswerCancel;
  return 0;
}

// ---- Clipboard ----

bool IGraphicsLinux::GetTextFromClipboard(WDL_String* str) {
  if (!str) return false;
  str->Set("");
  if (!mWindow) return false;
  Display* display = mWindow->GetDisplay();
  const Window window = mWindow->GetWindow();
  const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom property = XInternAtom(display, "MORVANTE_CLIPBOARD", False);
  if (XGetSelectionOwner(display, clipboard) == None) return false;
  XConvertSelection(display, clipboard, utf8, property, window, CurrentTime);
  XFlush(display);
  // The owner answers through the server; a silent owner costs at most this.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  XEvent event;
  for (;;) {
    if (XCheckTypedWindowEvent(display, window, SelectionNotify, &event)) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left.count()));
    XEventsQueued(display, QueuedAfterReading);
  }
  if (event.xselection.property == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  bool ok = false;
  if (XGetWindowProperty(display, window, property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count,
                         &remaining, &data) == Success &&
      data && format == 8 && (type == utf8 || type == XA_STRING)) {
    str->Set(std::string(reinterpret_cast<char*>(data), count).c_str());
    ok = true;
  }
  if (data) XFree(data);
  return ok;
}

// ---- Cursor ----

void IGraphicsLinux::HideMouseCursor() {
  if (mCursorHidden || !mWindow) return;
  Display* display = mWindow->GetDisplay();
  int eventBase = 0;
  int errorBase = 0;
  if (!XFixesQueryExtension(display, &eventBase, &errorBase)) return;
  Window root = 0;
  Window child = 0;
  int winX = 0;
  int winY = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &mHiddenCursorX, &mHiddenCursorY, &winX,
                     &winY, &mask))
    return;
  XFixesHideCursor(display, mWindow->GetWindow());
  XFlush(display);
  mCursorHidden = true;
}

void IGraphicsLinux::ShowMouseCursor() {
  if (!mCursorHidden) return;
  mCursorHidden = false;
  if (!mWindow) return;
  Display* display = mWindow->GetDisplay();
  // Back where it was hidden, however far a drag has moved it.
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, mHiddenCursorX, mHiddenCursorY);
  XFixesShowCursor(display, mWindow->GetWindow());
  XFlush(display);
}
