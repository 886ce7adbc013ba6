// A pop-up menu shown in override-redirect windows on a connection of its
// own, drawn with the raster library. Run blocks, serving only the menu's
// connection, until the user picks an item or dismisses the menu (Escape, a
// click outside). Submenus open beside their item; the arrow keys, Return
// and the mouse navigate.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <vector>

class IPopupMenu;
class LICE_IFont;
class LICE_MemBitmap;
class X11Connection;

class X11PopupMenu {
public:
  // font is already at the editor's scale; percent scales the rest.
  X11PopupMenu(IPopupMenu* menu, LICE_IFont* font, int scalePercent = 100);
  ~X11PopupMenu();
  X11PopupMenu(const X11PopupMenu&) = delete;
  X11PopupMenu& operator=(const X11PopupMenu&) = delete;

  // Shows the menu with its top-left corner at (screenX, screenY). Returns
  // the menu that holds the picked item, its chosen index set, or null.
  IPopupMenu* Run(int screenX, int screenY);

  // At 100 %.
  static constexpr int kItemHeight = 20;
  static constexpr int kSeparatorHeight = 7;

private:
  struct Level;

  bool OpenLevel(IPopupMenu* menu, int x, int y);
  void CloseLevelsAbove(size_t keep);
  void DrawLevel(Level& level);
  // The level and item under a screen position; false outside every level.
  bool Hit(int rootX, int rootY, size_t* level, int* item) const;
  void SetHover(size_t level, int item);
  void OpenSubmenuOf(size_t level, int item, bool selectFirst);
  // Moves the hover in the deepest level to the next item that can be
  // picked or opened, in direction step.
  void MoveHover(int step);
  bool Selectable(const Level& level, int item) const;
  void Pick(size_t level, int item);
  void HandleEvent(XEvent& event);
  bool Grab();

  // A size of the 100 % menu at the scale.
  int Px(int v) const;

  IPopupMenu* mRoot;
  LICE_IFont* mFont;
  int mScalePercent;
  std::unique_ptr<X11Connection> mConnection;
  std::vector<std::unique_ptr<Level>> mLevels;
  Visual* mVisual = nullptr;
  int mDepth = 0;
  Colormap mColormap = 0;
  bool mDone = false;
  IPopupMenu* mPicked = nullptr;
  bool mPressedInside = false;
  bool mHeldAtOpen = false;
  bool mMovedSinceOpen = false;
};
