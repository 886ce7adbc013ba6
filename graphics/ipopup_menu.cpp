#include "graphics/ipopup_menu.h"

#include <cstdio>

IPopupMenuItem::IPopupMenuItem(const char* text, int flags, IPopupMenu* submenu)
    : mText(text ? text : ""), mSubmenu(submenu), mFlags(flags) {}

IPopupMenuItem::IPopupMenuItem(const char* text, IPopupMenu* submenu) : IPopupMenuItem(text, kNoFlags, submenu) {}

IPopupMenuItem::~IPopupMenuItem() = default;

IPopupMenu::~IPopupMenu() {
  for (int i = mMenuItems.GetSize() - 1; i >= 0; --i) mMenuItems.Delete(i, true);
}

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int position) {
  if (!item) return nullptr;
  IPopupMenuItem* stored = position == -1 ? mMenuItems.Add(item) : mMenuItems.Insert(position, item);
  if (!stored) delete item;
  return stored;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int position, int flags) {
  return AddItem(new IPopupMenuItem(text, flags), position);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int position, IPopupMenu* submenu) {
  return AddItem(new IPopupMenuItem(text, submenu), position);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu) {
  return AddItem(new IPopupMenuItem(text, submenu), -1);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int position) {
  return AddItem(new IPopupMenuItem("", IPopupMenuItem::kSeparator), position);
}

void IPopupMenu::SetPrefix(int prefix) {
  if (prefix >= kPrefixNone && prefix <= kPrefixThreeDigits) mPrefix = prefix;
}

void IPopupMenu::GetPrefixText(int position, WDL_String* out) const {
  if (!out) return;
  char buf[32] = "";
  const int number = position + 1;
  switch (mPrefix) {
    case kPrefixOneDigit: std::snprintf(buf, sizeof(buf), "%1d: ", number); break;
    case kPrefixTwoDigits: std::snprintf(buf, sizeof(buf), "%02d: ", number); break;
    case kPrefixThreeDigits: std::snprintf(buf, sizeof(buf), "%03d: ", number); break;
    default: break;
  }
  out->Set(buf);
}

const char* IPopupMenu::GetItemText(int position) const {
  const IPopupMenuItem* item = GetItem(position);
  return item ? item->GetText() : "";
}

bool IPopupMenu::CheckItem(int position, bool checked) {
  IPopupMenuItem* item = GetItem(position);
  if (!item) return false;
  item->SetChecked(checked);
  return true;
}

void IPopupMenu::CheckItemAlone(int position) {
  for (int i = 0; i < mMenuItems.GetSize(); ++i) mMenuItems.Get(i)->SetChecked(i == position);
}

bool IPopupMenu::IsItemChecked(int position) const {
  const IPopupMenuItem* item = GetItem(position);
  return item && item->GetChecked();
}
