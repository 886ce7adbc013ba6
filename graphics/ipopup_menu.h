// The platform-neutral model of a pop-up menu: items with flags and optional
// submenus, and the position the user picked, which the platform layer sets.
#pragma once

#include "framework/wdl_ptrlist.h"
#include "framework/wdl_string.h"

class IPopupMenu;

class IPopupMenuItem {
public:
  enum Flags {
    kNoFlags = 0,
    kDisabled = 1,   // shown greyed, cannot be picked
    kIndented = 2,   // shown one indentation level in
    kChecked = 4,    // shown with a check mark
    kSeparator = 8,  // shown as a separator line
  };

  // The submenu is borrowed: whoever builds the menus owns it.
  IPopupMenuItem(const char* text, int flags = kNoFlags, IPopupMenu* submenu = nullptr);
  IPopupMenuItem(const char* text, IPopupMenu* submenu);
  IPopupMenuItem(const IPopupMenuItem&) = delete;
  IPopupMenuItem& operator=(const IPopupMenuItem&) = delete;
  ~IPopupMenuItem();

  const char* GetText() const { return mText.Get(); }
  void SetText(const char* text) { mText.Set(text); }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  void SetSubmenu(IPopupMenu* submenu) { mSubmenu = submenu; }
  int GetFlags() const { return mFlags; }

  bool GetEnabled() const { return !(mFlags & kDisabled); }
  bool GetIndented() const { return (mFlags & kIndented) != 0; }
  bool GetChecked() const { return (mFlags & kChecked) != 0; }
  bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }

  void SetEnabled(bool enabled) { SetFlag(kDisabled, !enabled); }
  void SetIndented(bool indented) { SetFlag(kIndented, indented); }
  void SetChecked(bool checked) { SetFlag(kChecked, checked); }
  void SetIsSeparator(bool separator) { SetFlag(kSeparator, separator); }

private:
  void SetFlag(int flag, bool on) { mFlags = on ? (mFlags | flag) : (mFlags & ~flag); }

  WDL_String mText;
  IPopupMenu* mSubmenu;
  int mFlags;
};

class IPopupMenu {
public:
  // Numbering shown before each item, filled with its position from 1.
  enum EPrefix { kPrefixNone = 0, kPrefixOneDigit = 1, kPrefixTwoDigits = 2, kPrefixThreeDigits = 3 };

  IPopupMenu() = default;
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;
  // Deletes the items, last first, but not their submenus.
  ~IPopupMenu();

  // Inserts at position (-1 or past the end appends, negative counts as 0)
  // and takes ownership. When the list cannot grow the item is deleted and
  // null returned, so nothing leaks.
  IPopupMenuItem* AddItem(IPopupMenuItem* item, int position = -1);
  IPopupMenuItem* AddItem(const char* text, int position = -1, int flags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int position, IPopupMenu* submenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* submenu);
  IPopupMenuItem* AddSeparator(int position = -1);

  // Values other than 0..3 are ignored.
  void SetPrefix(int prefix);
  int GetPrefix() const { return mPrefix; }
  // The numbering text for the item at position (from 0), e.g. "02: ";
  // empty without a prefix.
  void GetPrefixText(int position, WDL_String* out) const;

  int GetNItems() const { return mMenuItems.GetSize(); }
  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }

  // Null outside the list.
  IPopupMenuItem* GetItem(int position) const { return mMenuItems.Get(position); }
  // "" outside the list.
  const char* GetItemText(int position) const;
  // False when there is no such item.
  bool CheckItem(int position, bool checked);
  // Checks that item and unchecks every other one.
  void CheckItemAlone(int position);
  bool IsItemChecked(int position) const;

private:
  int mPrefix = kPrefixNone;
  int mChosenItemIdx = -1;
  WDL_PtrList<IPopupMenuItem> mMenuItems;
};
