#include <gtest/gtest.h>

#include <string>

#include "graphics/ipopup_menu.h"

namespace {
std::string Texts(const IPopupMenu& menu) {
  std::string out;
  for (int i = 0; i < menu.GetNItems(); ++i) out += std::string(menu.GetItemText(i)) + "|";
  return out;
}
}  // namespace

TEST(IPopupMenuItem, FlagsAreIndependentBits) {
  IPopupMenuItem item("Item", IPopupMenuItem::kDisabled | IPopupMenuItem::kChecked);
  EXPECT_FALSE(item.GetEnabled());
  EXPECT_TRUE(item.GetChecked());
  EXPECT_FALSE(item.GetIndented());
  EXPECT_FALSE(item.GetIsSeparator());
  item.SetChecked(false);
  EXPECT_EQ(item.GetFlags(), IPopupMenuItem::kDisabled);
  item.SetIndented(true);
  item.SetEnabled(true);
  EXPECT_EQ(item.GetFlags(), IPopupMenuItem::kIndented);
  EXPECT_EQ(IPopupMenuItem::kDisabled, 1);
  EXPECT_EQ(IPopupMenuItem::kIndented, 2);
  EXPECT_EQ(IPopupMenuItem::kChecked, 4);
  EXPECT_EQ(IPopupMenuItem::kSeparator, 8);
}

TEST(IPopupMenu, StartsEmptyWithNothingChosen) {
  IPopupMenu menu;
  EXPECT_EQ(menu.GetNItems(), 0);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  EXPECT_EQ(menu.GetPrefix(), 0);
}

TEST(IPopupMenu, AddItemAppendsInsertsAndClampsPositions) {
  IPopupMenu menu;
  menu.AddItem("a");
  menu.AddItem("b");
  menu.AddItem("c");
  menu.AddItem("end", 10);
  EXPECT_EQ(Texts(menu), "a|b|c|end|");
  menu.AddItem("first", -5);
  EXPECT_EQ(Texts(menu), "first|a|b|c|end|");
  menu.AddItem("mid", 2);
  EXPECT_EQ(Texts(menu), "first|a|mid|b|c|end|");
  IPopupMenuItem* sep = menu.AddSeparator(1);
  ASSERT_NE(sep, nullptr);
  EXPECT_TRUE(sep->GetIsSeparator());
  EXPECT_STREQ(menu.GetItemText(1), "");
  EXPECT_EQ(menu.GetItem(1), sep);
}

TEST(IPopupMenu, SubmenusAreBorrowedAndItemsOwned) {
  IPopupMenu sub;
  sub.AddItem("inner");
  {
    IPopupMenu menu;
    IPopupMenuItem* a = menu.AddItem("Sub", &sub);
    IPopupMenuItem* b = menu.AddItem("Sub2", 0, &sub);
    EXPECT_EQ(a->GetSubmenu(), &sub);
    EXPECT_EQ(a->GetFlags(), 0);
    EXPECT_EQ(menu.GetItem(0), b);
    auto* own = new IPopupMenuItem("own", IPopupMenuItem::kChecked);
    EXPECT_EQ(menu.AddItem(own), own);
    EXPECT_TRUE(menu.IsItemChecked(2));
  }
  // The submenu outlives the menu that pointed at it (ASan would catch a
  // delete of it or a leak of an item).
  EXPECT_STREQ(sub.GetItemText(0), "inner");
}

TEST(IPopupMenu, OutOfRangePositionsReadAsNothing) {
  IPopupMenu menu;
  menu.AddItem("a");
  menu.AddItem("b");
  EXPECT_EQ(menu.GetItem(-1), nullptr);
  EXPECT_EQ(menu.GetItem(2), nullptr);
  EXPECT_STREQ(menu.GetItemText(-1), "");
  EXPECT_STREQ(menu.GetItemText(2), "");
  EXPECT_FALSE(menu.CheckItem(2, true));
  EXPECT_FALSE(menu.IsItemChecked(-1));
  EXPECT_TRUE(menu.CheckItem(1, true));
  EXPECT_TRUE(menu.IsItemChecked(1));
  EXPECT_TRUE(menu.CheckItem(1, false));
  EXPECT_FALSE(menu.IsItemChecked(1));
}

TEST(IPopupMenu, CheckItemAloneLeavesOnlyThatItemChecked) {
  IPopupMenu menu;
  menu.AddItem("0", -1, IPopupMenuItem::kChecked);
  menu.AddItem("1", -1, IPopupMenuItem::kDisabled);
  menu.AddItem("2", -1, IPopupMenuItem::kChecked);
  menu.CheckItemAlone(1);
  EXPECT_FALSE(menu.IsItemChecked(0));
  EXPECT_TRUE(menu.IsItemChecked(1));
  EXPECT_FALSE(menu.IsItemChecked(2));
  // Other flags are kept.
  EXPECT_FALSE(menu.GetItem(1)->GetEnabled());
}

TEST(IPopupMenu, PrefixTakesOnlyKnownStyles) {
  IPopupMenu menu;
  menu.SetPrefix(2);
  EXPECT_EQ(menu.GetPrefix(), 2);
  menu.SetPrefix(4);
  EXPECT_EQ(menu.GetPrefix(), 2);
  menu.SetPrefix(-1);
  EXPECT_EQ(menu.GetPrefix(), 2);
  WDL_String text;
  menu.GetPrefixText(6, &text);
  EXPECT_STREQ(text.Get(), "07: ");
  menu.SetPrefix(1);
  menu.GetPrefixText(0, &text);
  EXPECT_STREQ(text.Get(), "1: ");
  menu.SetPrefix(3);
  menu.GetPrefixText(11, &text);
  EXPECT_STREQ(text.Get(), "012: ");
  menu.SetPrefix(0);
  menu.GetPrefixText(11, &text);
  EXPECT_STREQ(text.Get(), "");
}
