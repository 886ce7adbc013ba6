// X input turned into the engine's events: device pixels from the server,
// editor pixels to the engine.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "graphics/linux/igraphics_linux.h"
#include "graphics/linux/x11_editor_window.h"
#include "graphics/linux/x11_text_field.h"

void IGraphicsLinux::HandleEvent(XEvent& event) {
  if (!mWindow || event.xany.window != mWindow->GetWindow()) return;
  switch (event.type) {
    case Expose: HandleExpose(event); break;
    case ButtonPress: HandleButtonPress(event); break;
    case ButtonRelease: HandleButtonRelease(event); break;
    case MotionNotify: HandleMotion(event); break;
    case KeyPress:
    case KeyRelease: HandleKey(event); break;
    case LeaveNotify:
      // A drag keeps its control even when the pointer leaves.
      if (GetMouseCapture() < 0) OnMouseOut();
      break;
    case FocusOut:
      // Grabs, and focus set again on the window that has it, are no loss.
      if (mTextField && event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior &&
          event.xfocus.detail != NotifyPointer && !mWindow->HasFocus())
        EndTextEntry(false);
      break;
    case DestroyNotify: WindowDestroyedByHost(); break;
    default: break;
  }
}

void IGraphicsLinux::HandleButtonPress(XEvent& event) {
  const XButtonEvent& e = event.xbutton;
  const X11Button button = ClassifyButton(e.button);
  if (button == X11Button::kIgnored) return;
  const int x = FromDevice(e.x), y = FromDevice(e.y);
  mPrevX = x;
  mPrevY = y;
  if (button == X11Button::kWheelUp || button == X11Button::kWheelDown) {
    // Scrolling over the editor ends typing without applying it.
    if (mTextField) EndTextEntry(false);
    IMouseMod mod = MouseModFromState(e.state, button);
    OnMouseWheel(x, y, &mod, button == X11Button::kWheelUp ? 1 : -1);
    return;
  }
  if (mTextField) {
    if (mTextField->Contains(x, y)) return;
    // A click elsewhere takes the focus from the field.
    EndTextEntry(false);
  }
  // An embedded window takes the keyboard only when clicked.
  mWindow->TakeFocus(e.time);
  IMouseMod mod = MouseModFromState(e.state, button);
  const bool primary = button == X11Button::kPrimary && !mod.R;
  const bool isDouble = primary && mDoubleClick.Press(e.time, e.x, e.y);
  if (!primary) mDoubleClick.Reset();
  mWindow->GrabPointer(e.time);
  if (isDouble)
    OnMouseDblClick(x, y, &mod);
  else
    OnMouseDown(x, y, &mod);
}

void IGraphicsLinux::HandleButtonRelease(XEvent& event) {
  const XButtonEvent& e = event.xbutton;
  const X11Button button = ClassifyButton(e.button);
  if (button != X11Button::kPrimary && button != X11Button::kSecondary) return;
  const int x = FromDevice(e.x), y = FromDevice(e.y);
  if (mTextField && mTextField->Contains(x, y) && GetMouseCapture() < 0) return;
  mWindow->UngrabPointer(e.time);
  IMouseMod mod = MouseModFromState(e.state, button);
  mPrevX = x;
  mPrevY = y;
  OnMouseUp(x, y, &mod);
}

void IGraphicsLinux::HandleMotion(XEvent& event) {
  // Only the latest of motions that follow each other matters; a motion
  // after a press or a release is another story.
  Display* display = mWindow->GetDisplay();
  XEvent next;
  while (XEventsQueued(display, QueuedAlready) > 0) {
    XPeekEvent(display, &next);
    if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window) break;
    XNextEvent(display, &event);
  }
  const XMotionEvent& e = event.xmotion;
  mPrevX = FromDevice(e.x);
  mPrevY = FromDevice(e.y);
  IMouseMod mod = MouseModFromState(e.state, X11Button::kNone);
  if (e.state & (Button1Mask | Button3Mask)) {
    if (!mTextField) OnMouseDrag(mPrevX, mPrevY, &mod);
  } else {
    OnMouseOver(mPrevX, mPrevY, &mod);
  }
}

void IGraphicsLinux::HandleKey(XEvent& event) {
  XKeyEvent& e = event.xkey;
  const unsigned keycode = e.keycode & 0xFF;
  if (e.type == KeyRelease) {
    if (mForwardedKeys[keycode]) {
      mForwardedKeys[keycode] = 0;
      mWindow->ForwardKeyToParent(e);
    }
    return;
  }
  KeySym keysym = NoSymbol;
  char chars[16];
  const int n = XLookupString(&e, chars, sizeof(chars), &keysym, nullptr);
  if (mTextField) {
    mTextField->Key(keysym, n > 0 ? chars : nullptr, n);
    switch (mTextField->TakeOutcome()) {
      case X11TextField::Outcome::kApply: EndTextEntry(true); break;
      case X11TextField::Outcome::kCancel: EndTextEntry(false); break;
      case X11TextField::Outcome::kEditing: {
        IRECT r = mTextField->Rect();
        mTextField->Draw(this);
        PresentFromBitmap(r);
        break;
      }
    }
    return;
  }
  // The symbol as typed: Shift+1 is "!", which the engine has no code for.
  const int code = EngineKeyCode(keysym);
  if (code >= 0 && OnKeyDown(mPrevX, mPrevY, code)) return;
  // Keys the editor does not use belong to the host.
  mForwardedKeys[keycode] = 1;
  mWindow->ForwardKeyToParent(e);
}
