// The editor's child window inside the host's window: created on our own
// connection, sized to the editor, and shown by copying regions of the
// engine's draw bitmap (through shared memory when the server offers it).
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <memory>

#include "graphics/igraphics_types.h"
#include "graphics/linux/x11_connection.h"

class X11EditorWindow {
public:
  X11EditorWindow() = default;
  ~X11EditorWindow();
  X11EditorWindow(const X11EditorWindow&) = delete;
  X11EditorWindow& operator=(const X11EditorWindow&) = delete;

  // Opens the connection and maps a w x h child of parent. False (and
  // nothing left open) when the display or the parent cannot be had.
  bool Open(Window parent, int w, int h);
  bool IsOpen() const { return mWindow != 0; }
  Display* GetDisplay() const { return mConnection ? mConnection->Get() : nullptr; }
  Window GetWindow() const { return mWindow; }
  Window GetParent() const { return mParent; }
  int Fd() const { return mConnection ? mConnection->Fd() : -1; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  bool UsesSharedMemory() const { return mShmImage != nullptr; }

  // Copies rect (clipped to the window) of a 32-bit 0xAARRGGBB image with
  // rowSpan pixels per row to the window. The request has reached the server
  // when this returns, so the caller may draw into bits again.
  void Present(const IRECT& rect, const unsigned int* bits, int rowSpan);
  // A new size for the window (and for the presented images).
  void SetSize(int w, int h);
  // Keyboard focus to our window, as a click asks for.
  void TakeFocus(Time time);
  bool HasFocus() const;
  void GrabPointer(Time time);
  void UngrabPointer(Time time);
  // Sends a key event we do not use on to the host's window.
  void ForwardKeyToParent(const XKeyEvent& event);

private:
  void CreateImages();
  void DestroyImages();

  std::unique_ptr<X11Connection> mConnection;
  Window mParent = 0;
  Window mWindow = 0;
  Visual* mVisual = nullptr;
  int mDepth = 0;
  Colormap mColormap = 0;
  GC mGC = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  XImage* mShmImage = nullptr;
  XShmSegmentInfo mShmInfo{};
  bool mPointerGrabbed = false;
};
