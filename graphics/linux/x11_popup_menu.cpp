#include "graphics/linux/x11_popup_menu.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "framework/wdl_string.h"
#include "graphics/editor_scale.h"
#include "graphics/ipopup_menu.h"
#include "graphics/linux/x11_connection.h"
#include "lice/lice_bitmap.h"
#include "lice/lice_fill.h"
#include "lice/lice_line.h"
#include "lice/lice_polygon.h"
#include "lice/lice_text.h"

namespace {
constexpr LICE_pixel kBackground = 0xFFF2F2F2;
constexpr LICE_pixel kBorder = 0xFF6A6A6A;
constexpr LICE_pixel kText = 0xFF101010;
constexpr LICE_pixel kDisabledText = 0xFF9A9A9A;
constexpr LICE_pixel kHoverBackground = 0xFF2F6DB5;
constexpr LICE_pixel kHoverText = 0xFFFFFFFF;
constexpr LICE_pixel kSeparator = 0xFFC4C4C4;
constexpr int kCheckColumn = 20;
constexpr int kIndent = 12;
constexpr int kArrowColumn = 18;
constexpr int kTextMargin = 8;

std::string ItemLabel(const IPopupMenu& menu, int index) {
  WDL_String prefix;
  menu.GetPrefixText(index, &prefix);
  const IPopupMenuItem* item = menu.GetItem(index);
  return std::string(prefix.Get()) + (item ? item->GetText() : "");
}
}  // namespace

struct X11PopupMenu::Level {
  IPopupMenu* menu = nullptr;
  Window window = 0;
  GC gc = nullptr;
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  int hover = -1;
  std::vector<int> tops;  // top of every item, then the bottom of the last
  std::unique_ptr<LICE_MemBitmap> bitmap;
};

X11PopupMenu::X11PopupMenu(IPopupMenu* menu, LICE_IFont* font, int scalePercent)
    : mRoot(menu), mFont(font), mScalePercent(scalePercent) {}

int X11PopupMenu::Px(int v) const { return ScaleEdge(v, mScalePercent); }

X11PopupMenu::~X11PopupMenu() {
  CloseLevelsAbove(0);
  if (mConnection && mConnection->IsOpen() && mColormap) XFreeColormap(mConnection->Get(), mColormap);
}

IPopupMenu* X11PopupMenu::Run(int screenX, int screenY) {
  if (!mRoot || !mFont || mRoot->GetNItems() <= 0) return nullptr;
  mConnection = std::make_unique<X11Connection>();
  if (!mConnection->IsOpen()) return nullptr;
  Display* display = mConnection->Get();
  XVisualInfo info;
  if (!FindRgbVisual(display, DefaultScreen(display), &info)) return nullptr;
  mVisual = info.visual;
  mDepth = info.depth;
  mColormap = XCreateColormap(display, DefaultRootWindow(display), mVisual, AllocNone);
  if (!OpenLevel(mRoot, screenX, screenY)) return nullptr;

  Window root = 0;
  Window child = 0;
  int rx = 0;
  int ry = 0;
  int wx = 0;
  int wy = 0;
  unsigned int mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rx, &ry, &wx, &wy, &mask);
  mHeldAtOpen = (mask & (Button1Mask | Button3Mask)) != 0;
  if (!Grab()) return nullptr;

  const int fd = mConnection->Fd();
  while (!mDone) {
    while (!mDone && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      HandleEvent(event);
    }
    if (mDone) break;
    pollfd p = {fd, POLLIN, 0};
    poll(&p, 1, 200);
  }
  XUngrabPointer(display, CurrentTime);
  XUngrabKeyboard(display, CurrentTime);
  CloseLevelsAbove(0);
  XSync(display, False);
  return mPicked;
}

bool X11PopupMenu::Grab() {
  Display* display = mConnection->Get();
  const Window window = mLevels.front()->window;
  // The click that opened the menu may still hold an implicit grab of the
  // editor's connection for a moment.
  for (int attempt = 0; attempt < 50; ++attempt) {
    const int pointer = XGrabPointer(display, window, True,
                                     ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                                     GrabModeAsync, None, None, CurrentTime);
    if (pointer == GrabSuccess) {
      if (XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess)
        return true;
      XUngrabPointer(display, CurrentTime);
    }
    usleep(10000);
  }
  return false;
}

bool X11PopupMenu::OpenLevel(IPopupMenu* menu, int x, int y) {
  if (!menu || menu->GetNItems() <= 0) return false;
  Display* display = mConnection->Get();
  auto level = std::make_unique<Level>();
  level->menu = menu;
  const int lineHeight = std::max(mFont->GetLineHeight(), 1);
  const int itemHeight = std::max(Px(kItemHeight), lineHeight + Px(4));
  LICE_MemBitmap measure(1, 1);
  int textWidth = Px(40);
  int top = 1;
  for (int i = 0; i < menu->GetNItems(); ++i) {
    const IPopupMenuItem* item = menu->GetItem(i);
    level->tops.push_back(top);
    if (item->GetIsSeparator()) {
      top += Px(kSeparatorHeight);
      continue;
    }
    RECT r = {0, 0, 0, 0};
    const std::string label = ItemLabel(*menu, i);
    mFont->DrawText(&measure, label.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    textWidth = std::max(textWidth, static_cast<int>(r.right - r.left) + (item->GetIndented() ? Px(kIndent) : 0));
    top += itemHeight;
  }
  level->tops.push_back(top);
  level->w = Px(kCheckColumn) + textWidth + Px(kTextMargin) + Px(kArrowColumn);
  level->h = top + 1;

  // On the screen, flipped to the other side when there is no room.
  const int screenW = DisplayWidth(display, DefaultScreen(display));
  const int screenH = DisplayHeight(display, DefaultScreen(display));
  if (x + level->w > screenW) x = std::max(0, screenW - level->w);
  if (y + level->h > screenH) y = std::max(0, screenH - level->h);
  level->x = x;
  level->y = y;
  level->bitmap = std::make_unique<LICE_MemBitmap>(level->w, level->h);

  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.colormap = mColormap;
  attributes.border_pixel = 0;
  attributes.background_pixmap = None;
  attributes.save_under = True;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
  level->window = XCreateWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(level->w),
                                static_cast<unsigned>(level->h), 0, mDepth, InputOutput, mVisual,
                                CWOverrideRedirect | CWColormap | CWBorderPixel | CWBackPixmap | CWSaveUnder |
                                    CWEventMask,
                                &attributes);
  level->gc = XCreateGC(display, level->window, 0, nullptr);
  XMapRaised(display, level->window);
  mLevels.push_back(std::move(level));
  DrawLevel(*mLevels.back());
  return true;
}

void X11PopupMenu::CloseLevelsAbove(size_t keep) {
  if (!mConnection || !mConnection->IsOpen()) {
    mLevels.clear();
    return;
  }
  Display* display = mConnection->Get();
  while (mLevels.size() > keep) {
    Level& level = *mLevels.back();
    XFreeGC(display, level.gc);
    XDestroyWindow(display, level.window);
    mLevels.pop_back();
  }
  XFlush(display);
}

bool X11PopupMenu::Selectable(const Level& level, int item) const {
  const IPopupMenuItem* it = level.menu->GetItem(item);
  return it && !it->GetIsSeparator() && (it->GetSubmenu() || it->GetEnabled());
}

void X11PopupMenu::DrawLevel(Level& level) {
  LICE_IBitmap* bm = level.bitmap.get();
  LICE_Clear(bm, kBackground);
  for (int i = 0; i < level.menu->GetNItems(); ++i) {
    const IPopupMenuItem* item = level.menu->GetItem(i);
    const int top = level.tops[i];
    const int bottom = level.tops[i + 1];
    if (item->GetIsSeparator()) {
      const int y = (top + bottom) / 2;
      LICE_Line(bm, Px(4), y, level.w - Px(5), y, kSeparator, 1.0f, 0, false);
      continue;
    }
    const bool hover = i == level.hover && Selectable(level, i);
    if (hover) LICE_FillRect(bm, 1, top, level.w - 2, bottom - top, kHoverBackground, 1.0f, 0);
    const bool enabled = item->GetSubmenu() || item->GetEnabled();
    const LICE_pixel color = !enabled ? kDisabledText : hover ? kHoverText : kText;
    if (item->GetChecked() && !item->GetSubmenu()) {
      const int cy = (top + bottom) / 2;
      for (int k = 0; k < Px(1); ++k) {
        LICE_Line(bm, Px(6), cy + k, Px(9), cy + Px(3) + k, color, 1.0f, 0, true);
        LICE_Line(bm, Px(9), cy + Px(3) + k, Px(15), cy - Px(4) + k, color, 1.0f, 0, true);
      }
    }
    RECT r = {Px(kCheckColumn) + (item->GetIndented() ? Px(kIndent) : 0), top, level.w - Px(kArrowColumn), bottom};
    mFont->SetTextColor(color);
    const std::string label = ItemLabel(*level.menu, i);
    mFont->DrawText(bm, label.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (item->GetSubmenu()) {
      const int cy = (top + bottom) / 2;
      const int ax = level.w - Px(kArrowColumn) / 2 - Px(2);
      LICE_FillTriangle(bm, ax, cy - Px(4), ax, cy + Px(4), ax + Px(4), cy, color, 1.0f, 0);
    }
  }
  // Frame.
  LICE_Line(bm, 0, 0, level.w - 1, 0, kBorder, 1.0f, 0, false);
  LICE_Line(bm, 0, level.h - 1, level.w - 1, level.h - 1, kBorder, 1.0f, 0, false);
  LICE_Line(bm, 0, 0, 0, level.h - 1, kBorder, 1.0f, 0, false);
  LICE_Line(bm, level.w - 1, 0, level.w - 1, level.h - 1, kBorder, 1.0f, 0, false);

  Display* display = mConnection->Get();
  XImage* image = XCreateImage(display, mVisual, static_cast<unsigned>(mDepth), ZPixmap, 0,
                               reinterpret_cast<char*>(bm->getBits()), static_cast<unsigned>(level.w),
                               static_cast<unsigned>(level.h), 32, bm->getRowSpan() * 4);
  if (!image) return;
  image->byte_order = LSBFirst;
  XPutImage(display, level.window, level.gc, image, 0, 0, 0, 0, static_cast<unsigned>(level.w),
            static_cast<unsigned>(level.h));
  image->data = nullptr;
  XDestroyImage(image);
  XFlush(display);
}

bool X11PopupMenu::Hit(int rootX, int rootY, size_t* level, int* item) const {
  // Deeper levels lie on top.
  for (size_t l = mLevels.size(); l-- > 0;) {
    const Level& lv = *mLevels[l];
    const int x = rootX - lv.x;
    const int y = rootY - lv.y;
    if (x < 0 || y < 0 || x >= lv.w || y >= lv.h) continue;
    *level = l;
    *item = -1;
    for (int i = 0; i < lv.menu->GetNItems(); ++i)
      if (y >= lv.tops[i] && y < lv.tops[i + 1]) *item = i;
    return true;
  }
  return false;
}

void X11PopupMenu::SetHover(size_t level, int item) {
  Level& lv = *mLevels[level];
  if (lv.hover == item) return;
  lv.hover = item;
  DrawLevel(lv);
}

void X11PopupMenu::OpenSubmenuOf(size_t level, int item, bool selectFirst) {
  CloseLevelsAbove(level + 1);
  const Level& lv = *mLevels[level];
  const IPopupMenuItem* it = lv.menu->GetItem(item);
  if (!it || !it->GetSubmenu()) return;
  if (!OpenLevel(it->GetSubmenu(), lv.x + lv.w - 2, lv.y + lv.tops[item] - 1)) return;
  if (selectFirst) MoveHover(1);
}

void X11PopupMenu::MoveHover(int step) {
  Level& lv = *mLevels.back();
  const int n = lv.menu->GetNItems();
  int i = lv.hover;
  for (int tries = 0; tries < n; ++tries) {
    i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (Selectable(lv, i)) {
      SetHover(mLevels.size() - 1, i);
      return;
    }
  }
}

void X11PopupMenu::Pick(size_t level, int item) {
  Level& lv = *mLevels[level];
  const IPopupMenuItem* it = lv.menu->GetItem(item);
  if (!it || it->GetIsSeparator() || !it->GetEnabled()) return;
  if (it->GetSubmenu()) {
    OpenSubmenuOf(level, item, true);
    return;
  }
  lv.menu->SetChosenItemIdx(item);
  mPicked = lv.menu;
  mDone = true;
}

void X11PopupMenu::HandleEvent(XEvent& event) {
  switch (event.type) {
    case Expose:
      for (auto& level : mLevels)
        if (level->window == event.xexpose.window && event.xexpose.count == 0) DrawLevel(*level);
      break;
    case MotionNotify: {
      mMovedSinceOpen = true;
      size_t level = 0;
      int item = -1;
      if (!Hit(event.xmotion.x_root, event.xmotion.y_root, &level, &item)) break;
      if (item >= 0 && item != mLevels[level]->hover) {
        SetHover(level, item);
        const IPopupMenuItem* it = mLevels[level]->menu->GetItem(item);
        if (it && it->GetSubmenu())
          OpenSubmenuOf(level, item, false);
        else
          CloseLevelsAbove(level + 1);
      }
      break;
    }
    case ButtonPress: {
      size_t level = 0;
      int item = -1;
      if (!Hit(event.xbutton.x_root, event.xbutton.y_root, &level, &item)) {
        // A click outside dismisses the menu.
        mDone = true;
        break;
      }
      mPressedInside = true;
      break;
    }
    case ButtonRelease: {
      // The release of the click that opened the menu picks nothing unless
      // the pointer was dragged onto an item.
      if (!mPressedInside && !(mHeldAtOpen && mMovedSinceOpen)) break;
      size_t level = 0;
      int item = -1;
      if (Hit(event.xbutton.x_root, event.xbutton.y_root, &level, &item) && item >= 0) Pick(level, item);
      break;
    }
    case KeyPress: {
      const KeySym sym = XLookupKeysym(&event.xkey, 0);
      Level& deepest = *mLevels.back();
      switch (sym) {
        case XK_Escape: mDone = true; break;
        case XK_Down: MoveHover(1); break;
        case XK_Up: MoveHover(-1); break;
        case XK_Left:
          if (mLevels.size() > 1) CloseLevelsAbove(mLevels.size() - 1);
          break;
        case XK_Right:
          if (deepest.hover >= 0) OpenSubmenuOf(mLevels.size() - 1, deepest.hover, true);
          break;
        case XK_Return:
        case XK_KP_Enter:
        case XK_space:
          if (deepest.hover >= 0) Pick(mLevels.size() - 1, deepest.hover);
          break;
        default: break;
      }
      break;
    }
    default: break;
  }
}
