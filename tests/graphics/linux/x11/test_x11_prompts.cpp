// Pop-up menus and the text field of the Linux editor, with a user acting
// through XTest from a thread of its own while the editor waits.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/iparam.h"
#include "graphics/controls/icaption_control.h"
#include "graphics/ipopup_menu.h"
#include "lice/lice_sysbitmap.h"
#include "tests/graphics/linux/x11/x11_engine_fixture.h"

// Last: Xlib's macros would clash with the names above.
#include <X11/keysym.h>

namespace {
const IRECT kCaption(50, 40, 150, 140);
constexpr int kCaptionX = 100, kCaptionY = 60;

// The user's part while the editor shows a menu, on its own connection.
class MenuUser {
public:
  using Areas = std::vector<x11test::XUser::Area>;
  using Action = std::function<void(x11test::XUser&, const Areas&)>;
  explicit MenuUser(Action act)
      : mThread([this, act] {
          x11test::XUser user;
          Areas menus;
          sawMenu = user.WaitForPopups(1, 4000, &menus);
          // The menu takes the keyboard and the pointer just after it shows.
          usleep(150000);
          if (sawMenu) act(user, menus);
        }) {}
  ~MenuUser() { Join(); }
  void Join() {
    if (mThread.joinable()) mThread.join();
  }
  std::atomic<bool> sawMenu{false};

private:
  std::thread mThread;
};

class X11PromptTest : public X11EngineTest {
protected:
  ICaptionControl* AttachPromptingCaption(int paramIdx) {
    auto* caption = new ICaptionControl(plug.get(), kCaption, paramIdx, nullptr);
    caption->DisablePrompt(false);
    gui->AttachControl(caption);
    return caption;
  }
  double Value(int paramIdx) { return plug->GetParam(paramIdx)->Value(); }
};
}  // namespace

TEST_F(X11PromptTest, AValueMenuOpensTakesKeysAndThePickSetsTheParameter) {
  AttachPromptingCaption(kMode);
  ASSERT_TRUE(Open());
  ASSERT_EQ(Value(kMode), 1.0);
  MenuUser user([](x11test::XUser& u, const std::vector<x11test::XUser::Area>& menus) {
    // Two items under the caption's bottom-left corner.
    EXPECT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].x, kCaption.L);
    EXPECT_EQ(menus[0].y, kCaption.B);
    u.WriteScreenshot(x11test::ScreenshotPath(MORVANTE_SCREENSHOT_DIR, "menu_value.png"), 400, 300);
    u.TypeKey(XK_Down);
    u.TypeKey(XK_Return);
  });
  User().Click(kCaptionX, kCaptionY);
  loop.RunUntil([&] { return Value(kMode) == 0.0; }, 5000);
  user.Join();
  EXPECT_TRUE(user.sawMenu);
  EXPECT_EQ(Value(kMode), 0.0);
  x11test::XUser check;
  EXPECT_FALSE(check.WaitForPopups(1, 0));
}

TEST_F(X11PromptTest, EscapeAndAClickOutsideDismissAndAClickOnAnItemPicks) {
  AttachPromptingCaption(kMode);
  ASSERT_TRUE(Open());
  // Clicks the caption, lets the user answer the menu, and serves until the
  // mode is `until` or a while has passed.
  auto promptAndAnswer = [&](MenuUser::Action answer, double until) {
    Serve(500);
    MenuUser user(std::move(answer));
    User().Click(kCaptionX, kCaptionY);
    loop.RunUntil([&] { return Value(kMode) == until; }, 1000);
    user.Join();
    EXPECT_TRUE(user.sawMenu);
  };
  promptAndAnswer([](x11test::XUser& u, const MenuUser::Areas&) { u.TypeKey(XK_Escape); }, -1.0);
  EXPECT_EQ(Value(kMode), 1.0);
  promptAndAnswer([](x11test::XUser& u, const MenuUser::Areas&) { u.Click(390, 290); }, -1.0);
  EXPECT_EQ(Value(kMode), 1.0);
  // The first item's middle.
  promptAndAnswer([](x11test::XUser& u, const MenuUser::Areas& menus) { u.Click(menus[0].x + 30, menus[0].y + 11); },
                  0.0);
  EXPECT_EQ(Value(kMode), 0.0);
}

TEST_F(X11PromptTest, SubmenusSeparatorsDisabledItemsAndNumbering) {
  ASSERT_TRUE(Open());
  IPopupMenu more;
  more.AddItem("One");
  more.AddItem("Two", -1, IPopupMenuItem::kChecked);
  IPopupMenu menu;
  menu.SetPrefix(2);
  menu.AddItem("Alpha");
  menu.AddSeparator();
  menu.AddItem("Beta", -1, IPopupMenuItem::kDisabled);
  menu.AddItem("More", &more);
  menu.AddItem("Gamma", -1, IPopupMenuItem::kChecked | IPopupMenuItem::kIndented);
  MenuUser user([](x11test::XUser& u, const std::vector<x11test::XUser::Area>&) {
    u.TypeKey(XK_Down);   // Alpha
    u.TypeKey(XK_Down);   // past the separator and the disabled Beta: More
    u.TypeKey(XK_Right);  // opens More at One
    std::vector<x11test::XUser::Area> menus;
    EXPECT_TRUE(u.WaitForPopups(2, 2000, &menus));
    u.TypeKey(XK_Down);  // Two
    usleep(100000);
    u.WriteScreenshot(x11test::ScreenshotPath(MORVANTE_SCREENSHOT_DIR, "menu_submenu.png"), 400, 300);
    u.TypeKey(XK_Return);
  });
  IRECT under(20, 20, 80, 40);
  IPopupMenu* picked = gui->CreateIPopupMenu(&menu, &under);
  user.Join();
  EXPECT_EQ(picked, &more);
  EXPECT_EQ(more.GetChosenItemIdx(), 1);
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);

  // Dismissed: nothing picked, nothing changed.
  MenuUser dismiss([](x11test::XUser& u, const std::vector<x11test::XUser::Area>&) { u.TypeKey(XK_Escape); });
  EXPECT_EQ(gui->CreateIPopupMenu(&menu, &under), nullptr);
  dismiss.Join();
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  // A menu needs the window.
  gui->CloseWindow();
  EXPECT_EQ(gui->CreateIPopupMenu(&menu, &under), nullptr);
}

TEST_F(X11PromptTest, TheTextFieldFiltersTypingAndReturnApplies) {
  AttachPromptingCaption(kGain);
  ASSERT_TRUE(Open());
  User().Click(kCaptionX, kCaptionY);
  Serve(100);
  ASSERT_TRUE(gui->TextEntryIsOpen());
  // The current value is in the field: take it away, then type.
  for (int i = 0; i < 8; ++i) User().TypeKey(XK_BackSpace);
  for (unsigned long key : {XK_minus, XK_5, XK_a, XK_period, XK_2, XK_5}) User().TypeKey(key);
  Serve(100);
  host->WriteScreenshot(x11test::ScreenshotPath(MORVANTE_SCREENSHOT_DIR, "text_field.png"));
  User().TypeKey(XK_Return);
  Serve(100);
  EXPECT_FALSE(gui->TextEntryIsOpen());
  EXPECT_DOUBLE_EQ(Value(kGain), -5.25);

  // At most seven characters.
  Serve(500);
  User().Click(kCaptionX, kCaptionY);
  Serve(100);
  ASSERT_TRUE(gui->TextEntryIsOpen());
  for (int i = 0; i < 8; ++i) User().TypeKey(XK_BackSpace);
  for (unsigned long key : {XK_1, XK_period, XK_2, XK_3, XK_4, XK_5, XK_6, XK_7, XK_8}) User().TypeKey(key);
  User().TypeKey(XK_Return);
  Serve(100);
  EXPECT_NEAR(Value(kGain), 1.23456, 1e-9);
}

// At 200 % the field lies where it lies at 100 %, twice the size, and
// typing in it applies as at 100 %.
TEST_F(X11PromptTest, TheTextFieldScalesWithTheEditor) {
  AttachPromptingCaption(kGain);
  const IColor bg = DEFAULT_TEXT_ENTRY_BGCOLOR;
  const uint32_t fieldColour = static_cast<uint32_t>(bg.R << 16 | bg.G << 8 | bg.B);
  // The field's pixels' bounds in the editor's window: left, top, right,
  // bottom (exclusive).
  const auto openField = [&](int percent) {
    gui->SetScalePercent(percent);
    EXPECT_TRUE(Open());
    const int k = percent / 100;
    User().Click(k * kCaptionX, k * kCaptionY);
    Serve(100);
    EXPECT_TRUE(gui->TextEntryIsOpen());
    const std::vector<x11test::XWindowId> children = host->Children();
    std::vector<int> box = {1 << 20, 1 << 20, -1, -1};
    if (children.size() != 1u) return box;
    const int w = k * kW, h = k * kH;
    const std::vector<uint32_t> shown = host->ReadPixels(children[0], 0, 0, w, h);
    for (int y = 0; y < h && shown.size() == static_cast<size_t>(w * h); ++y)
      for (int x = 0; x < w; ++x)
        if ((shown[static_cast<size_t>(y * w + x)] & 0xFFFFFF) == fieldColour)
          box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
    return box;
  };
  const std::vector<int> atOne = openField(100);
  User().TypeKey(XK_Escape);
  Serve(100);
  gui->CloseWindow();
  const std::vector<int> atTwo = openField(200);
  ASSERT_GT(atOne[2], atOne[0]);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(atTwo[i], 2 * atOne[i]) << i;

  for (int i = 0; i < 8; ++i) User().TypeKey(XK_BackSpace);
  for (unsigned long key : {XK_minus, XK_5, XK_period, XK_2, XK_5}) User().TypeKey(key);
  Serve(100);
  host->WriteScreenshot(x11test::ScreenshotPath(MORVANTE_SCREENSHOT_DIR, "text_field_200.png"));
  User().TypeKey(XK_Return);
  Serve(100);
  EXPECT_FALSE(gui->TextEntryIsOpen());
  EXPECT_DOUBLE_EQ(Value(kGain), -5.25);
}

TEST_F(X11PromptTest, EscapeTheWheelAndAClickElsewhereEndTheFieldWithoutApplying) {
  AttachPromptingCaption(kGain);
  ASSERT_TRUE(Open());
  const double before = Value(kGain);
  auto openAndType = [&] {
    Serve(500);
    User().Click(kCaptionX, kCaptionY);
    Serve(100);
    EXPECT_TRUE(gui->TextEntryIsOpen());
    User().TypeKey(XK_BackSpace);
    User().TypeKey(XK_9);
    Serve(60);
  };
  openAndType();
  User().TypeKey(XK_Escape);
  Serve(100);
  EXPECT_FALSE(gui->TextEntryIsOpen());
  openAndType();
  User().Click(kCaptionX, kCaptionY, 4);
  Serve(100);
  EXPECT_FALSE(gui->TextEntryIsOpen());
  openAndType();
  User().Click(300, 220);
  Serve(100);
  EXPECT_FALSE(gui->TextEntryIsOpen());
  EXPECT_DOUBLE_EQ(Value(kGain), before);
  // The controls under the field are drawn again.
  const std::vector<uint32_t> shown = host->ReadPixels(gui->GetXWindow(), 80, 82, 40, 16);
  const LICE_pixel* bits = gui->GetDrawBitmap()->getBits();
  const int span = gui->GetDrawBitmap()->getRowSpan();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(shown[y * 40 + x], bits[(82 + y) * span + 80 + x] & 0xFFFFFF);
}
