// The editor's window: a child of the host's X11 window on a connection of
// our own, redrawn from the host's run loop at the engine's frame rate.
#include <X11/Xlib.h>

#include "graphics/linux/child_process.h"
#include "graphics/linux/igraphics_linux.h"
#include "graphics/linux/x11_editor_window.h"
#include "graphics/linux/x11_text_field.h"
#include "lice/lice_sysbitmap.h"

bool IGraphicsLinux::OpenWindowOnRunLoop(void* parent, std::unique_ptr<EditorRunLoop> runLoop) {
  CloseWindow();
  mRunLoop = std::move(runLoop);
  if (OpenWindow(parent)) return true;
  // A loop that was never started goes back with the failed opening.
  mRunLoop.reset();
  return false;
}

unsigned long IGraphicsLinux::GetXWindow() const { return mWindow ? mWindow->GetWindow() : 0; }

void* IGraphicsLinux::OpenWindow(void* parent) {
  CloseWindow();
  // Without the host's loop the window would never update nor see input.
  if (!mRunLoop || !parent) return nullptr;
  if (!GetDrawBitmap()) PrepDraw();
  auto window = std::make_unique<X11EditorWindow>();
  if (!window->Open(reinterpret_cast<Window>(parent), ViewWidth(), ViewHeight())) return nullptr;
  if (!mRunLoop->Start(window->Fd(), 1000 / FPS(), this)) return nullptr;
  mRunLoopStarted = true;
  mWindow = std::move(window);
  mDoubleClick.Reset();
  mExposed = IRECT();
  // The whole picture once; from here on only what changes.
  IRECT all(0, 0, Width(), Height());
  Draw(&all);
  UpdateTooltips();
  return reinterpret_cast<void*>(mWindow->GetWindow());
}

void IGraphicsLinux::CloseWindow() {
  if (mTextField) EndTextEntry(false);
  if (mCursorHidden) ShowMouseCursor();
  if (mRunLoopStarted) {
    mRunLoop->Stop();
    mRunLoopStarted = false;
    // The host hands over its loop again at the next opening.
    mRunLoop.reset();
  }
  mWindow.reset();
  ReleaseMouseCapture();
  // A window closed under a held button gets no release.
  EndMouseGesture();
}

void* IGraphicsLinux::GetWindow() { return mWindow ? reinterpret_cast<void*>(mWindow->GetWindow()) : nullptr; }

void IGraphicsLinux::WindowDestroyedByHost() {
  // Our window went with the host's; the requests that would name it only
  // draw errors, which our connection swallows.
  CloseWindow();
}

bool IGraphicsLinux::DrawScreen(IRECT* rect) {
  if (!mWindow || !rect) return false;
  // The text field lies over the controls it covers.
  if (mTextField) mTextField->Draw(this);
  PresentFromBitmap(*rect);
  return true;
}

void IGraphicsLinux::PresentFromBitmap(const IRECT& rect) { PresentDevicePixels(ToDevice(rect)); }

void IGraphicsLinux::PresentDevicePixels(const IRECT& deviceRect) {
  LICE_SysBitmap* bitmap = GetDrawBitmap();
  if (!mWindow || !bitmap || !bitmap->getBits()) return;
  mWindow->Present(deviceRect, reinterpret_cast<const unsigned int*>(bitmap->getBits()), bitmap->getRowSpan());
}

bool IGraphicsLinux::Resize(int w, int h) {
  if (w == Width() && h == Height()) return true;
  if (mTextField) EndTextEntry(false);
  const bool taken = IGraphics::Resize(w, h);
  if (taken) FollowNewSize();
  return taken;
}

void IGraphicsLinux::SetScalePercent(int percent) {
  if (mTextField) EndTextEntry(false);
  const int before = ScalePercent();
  IGraphics::SetScalePercent(percent);
  if (ScalePercent() != before) FollowNewSize();
}

void IGraphicsLinux::FollowNewSize() {
  if (!mWindow) return;
  mWindow->SetSize(ViewWidth(), ViewHeight());
  IRECT all(0, 0, Width(), Height());
  Draw(&all);
}

void IGraphicsLinux::OnRunLoopTimer() {
  // Programs the editor started (the browser hand-off) are collected here.
  ReapFinishedChildren();
  if (!mWindow) return;
  OnGUIIdle();
  IRECT dirty;
  if (IsDirty(&dirty)) Draw(&dirty);
}

void IGraphicsLinux::OnRunLoopFdReadable() {
  // An event may close the window (the host removing the view from inside
  // a call we make), so the window is looked up again for every event.
  while (mWindow && XPending(mWindow->GetDisplay()) > 0) {
    XEvent event;
    XNextEvent(mWindow->GetDisplay(), &event);
    HandleEvent(event);
  }
}

void IGraphicsLinux::HandleExpose(XEvent& event) {
  const XExposeEvent& e = event.xexpose;
  mExposed = mExposed.Union(IRECT(e.x, e.y, e.x + e.width, e.y + e.height));
  if (e.count > 0) return;
  // The draw bitmap already holds the current picture; exposures come in
  // device pixels.
  PresentDevicePixels(mExposed);
  mExposed = IRECT();
}
