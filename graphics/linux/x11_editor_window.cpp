#include "graphics/linux/x11_editor_window.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | FocusChangeMask | StructureNotifyMask | EnterWindowMask |
                            LeaveWindowMask;
}  // namespace

X11EditorWindow::~X11EditorWindow() {
  DestroyImages();
  if (mConnection && mConnection->IsOpen()) {
    Display* display = mConnection->Get();
    if (mGC) XFreeGC(display, mGC);
    if (mWindow) XDestroyWindow(display, mWindow);
    if (mColormap) XFreeColormap(display, mColormap);
  }
  // Closing the connection waits for the requests above.
  mConnection.reset();
}

bool X11EditorWindow::Open(Window parent, int w, int h) {
  if (!parent || w <= 0 || h <= 0 || mWindow) return false;
  auto connection = std::make_unique<X11Connection>();
  if (!connection->IsOpen()) return false;
  Display* display = connection->Get();
  XWindowAttributes parentAttributes;
  if (!XGetWindowAttributes(display, parent, &parentAttributes)) return false;
  const int screen = XScreenNumberOfScreen(parentAttributes.screen);
  XVisualInfo info;
  if (!FindRgbVisual(display, screen, &info)) return false;

  mColormap = XCreateColormap(display, parent, info.visual, AllocNone);
  XSetWindowAttributes attributes{};
  attributes.colormap = mColormap;
  attributes.border_pixel = 0;
  // No background: the server never clears what we are about to draw.
  attributes.background_pixmap = None;
  attributes.event_mask = kEventMask;
  attributes.bit_gravity = NorthWestGravity;
  mWindow = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), 0, info.depth,
                          InputOutput, info.visual,
                          CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask | CWBitGravity, &attributes);
  mConnection = std::move(connection);
  if (!mConnection->SyncWithoutErrors()) {
    // The parent went away, or the server refused the window.
    mWindow = 0;
    XFreeColormap(display, mColormap);
    mColormap = 0;
    mConnection.reset();
    return false;
  }
  mParent = parent;
  mVisual = info.visual;
  mDepth = info.depth;
  mWidth = w;
  mHeight = h;
  mGC = XCreateGC(display, mWindow, 0, nullptr);
  CreateImages();
  XMapWindow(display, mWindow);
  XFlush(display);
  return true;
}

void X11EditorWindow::CreateImages() {
  Display* display = GetDisplay();
  if (!XShmQueryExtension(display)) return;
  XImage* image = XShmCreateImage(display, mVisual, static_cast<unsigned>(mDepth), ZPixmap, nullptr, &mShmInfo,
                                  static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight));
  if (!image) return;
  mShmInfo.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height, IPC_CREAT | 0600);
  if (mShmInfo.shmid < 0) {
    XDestroyImage(image);
    return;
  }
  mShmInfo.shmaddr = static_cast<char*>(shmat(mShmInfo.shmid, nullptr, 0));
  if (mShmInfo.shmaddr == reinterpret_cast<char*>(-1)) {
    shmctl(mShmInfo.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    return;
  }
  image->data = mShmInfo.shmaddr;
  mShmInfo.readOnly = False;
  // A server on another machine cannot attach: fall back to plain images.
  const bool attached = XShmAttach(display, &mShmInfo) && mConnection->SyncWithoutErrors();
  // The segment goes away once both sides have detached.
  shmctl(mShmInfo.shmid, IPC_RMID, nullptr);
  if (!attached) {
    shmdt(mShmInfo.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    return;
  }
  mShmImage = image;
}

void X11EditorWindow::DestroyImages() {
  if (!mShmImage) return;
  if (Display* display = GetDisplay()) {
    XShmDetach(display, &mShmInfo);
    XSync(display, False);
  }
  shmdt(mShmInfo.shmaddr);
  mShmImage->data = nullptr;
  XDestroyImage(mShmImage);
  mShmImage = nullptr;
}

void X11EditorWindow::Present(const IRECT& rect, const unsigned int* bits, int rowSpan) {
  if (!mWindow || !bits) return;
  const int l = std::max(rect.L, 0);
  const int t = std::max(rect.T, 0);
  const int r = std::min(rect.R, mWidth);
  const int b = std::min(rect.B, mHeight);
  if (l >= r || t >= b) return;
  Display* display = GetDisplay();
  const unsigned w = static_cast<unsigned>(r - l);
  const unsigned h = static_cast<unsigned>(b - t);
  if (mShmImage) {
    for (int y = t; y < b; ++y) {
      std::memcpy(mShmImage->data + static_cast<size_t>(y) * mShmImage->bytes_per_line + static_cast<size_t>(l) * 4,
                  bits + static_cast<size_t>(y) * rowSpan + l, w * 4);
    }
    XShmPutImage(display, mWindow, mGC, mShmImage, l, t, l, t, w, h, False);
  } else {
    // An image header over the caller's pixels: nothing is copied here.
    XImage* image = XCreateImage(display, mVisual, static_cast<unsigned>(mDepth), ZPixmap, 0,
                                 const_cast<char*>(reinterpret_cast<const char*>(bits)),
                                 static_cast<unsigned>(mWidth), static_cast<unsigned>(mHeight), 32, rowSpan * 4);
    if (!image) return;
    image->byte_order = LSBFirst;
    XPutImage(display, mWindow, mGC, image, l, t, l, t, w, h);
    image->data = nullptr;
    XDestroyImage(image);
  }
  // The server has read the pixels once this returns: the next frame never
  // overwrites a region that is still being shown.
  XSync(display, False);
}

void X11EditorWindow::SetSize(int w, int h) {
  if (!mWindow || w <= 0 || h <= 0 || (w == mWidth && h == mHeight)) return;
  DestroyImages();
  mWidth = w;
  mHeight = h;
  XResizeWindow(GetDisplay(), mWindow, static_cast<unsigned>(w), static_cast<unsigned>(h));
  CreateImages();
  XFlush(GetDisplay());
}

void X11EditorWindow::TakeFocus(Time time) {
  if (!mWindow || HasFocus()) return;
  XSetInputFocus(GetDisplay(), mWindow, RevertToParent, time);
  XFlush(GetDisplay());
}

bool X11EditorWindow::HasFocus() const {
  if (!mWindow) return false;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(GetDisplay(), &focus, &revert);
  return focus == mWindow;
}

void X11EditorWindow::GrabPointer(Time time) {
  if (!mWindow || mPointerGrabbed) return;
  mPointerGrabbed = XGrabPointer(GetDisplay(), mWindow, False,
                                 ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                                 GrabModeAsync, None, None, time) == GrabSuccess;
}

void X11EditorWindow::UngrabPointer(Time time) {
  if (!mPointerGrabbed) return;
  mPointerGrabbed = false;
  XUngrabPointer(GetDisplay(), time);
  XFlush(GetDisplay());
}

void X11EditorWindow::ForwardKeyToParent(const XKeyEvent& event) {
  if (!mWindow || !mParent) return;
  XEvent forwarded{};
  forwarded.xkey = event;
  forwarded.xkey.window = mParent;
  forwarded.xkey.subwindow = None;
  XSendEvent(GetDisplay(), mParent, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask, &forwarded);
  XFlush(GetDisplay());
}
