// X input in the engine's terms, without a server.
#include <gtest/gtest.h>

#include <initializer_list>

#include "graphics/linux/x11_input.h"

// Last: X's macros would clash with the names above.
#include <X11/X.h>
#include <X11/keysym.h>

TEST(X11Input, KeySymbolsMapToTheEngineCodesAndEveryOtherKeyIsLeftAlone) {
  EXPECT_EQ(EngineKeyCode(XK_space), 0);
  EXPECT_EQ(EngineKeyCode(XK_Up), 1);
  EXPECT_EQ(EngineKeyCode(XK_Down), 2);
  EXPECT_EQ(EngineKeyCode(XK_Left), 3);
  EXPECT_EQ(EngineKeyCode(XK_Right), 4);
  EXPECT_EQ(EngineKeyCode(XK_KP_Left), 3);
  EXPECT_EQ(EngineKeyCode(XK_0), 5);
  EXPECT_EQ(EngineKeyCode(XK_9), 14);
  EXPECT_EQ(EngineKeyCode(XK_a), 15);
  EXPECT_EQ(EngineKeyCode(XK_A), 15);
  EXPECT_EQ(EngineKeyCode(XK_q), 31);
  EXPECT_EQ(EngineKeyCode(XK_Q), 31);
  EXPECT_EQ(EngineKeyCode(XK_z), 40);
  EXPECT_EQ(EngineKeyCode(XK_Z), 40);
  for (unsigned long other : std::initializer_list<unsigned long>{XK_exclam, XK_F1, XK_Return, XK_Escape, XK_Shift_L, XK_KP_5, XK_at,
                              XK_bracketleft, XK_grave, XK_braceleft, XK_adiaeresis, 0})
    EXPECT_EQ(EngineKeyCode(other), -1) << other;
}

TEST(X11Input, ButtonsAndModifiers) {
  EXPECT_EQ(ClassifyButton(Button1), X11Button::kPrimary);
  EXPECT_EQ(ClassifyButton(Button2), X11Button::kIgnored);
  EXPECT_EQ(ClassifyButton(Button3), X11Button::kSecondary);
  EXPECT_EQ(ClassifyButton(Button4), X11Button::kWheelUp);
  EXPECT_EQ(ClassifyButton(Button5), X11Button::kWheelDown);
  EXPECT_EQ(ClassifyButton(6), X11Button::kIgnored);
  EXPECT_EQ(ClassifyButton(7), X11Button::kIgnored);

  IMouseMod plain = MouseModFromState(0, X11Button::kPrimary);
  EXPECT_TRUE(plain.L);
  EXPECT_FALSE(plain.R || plain.S || plain.C || plain.A);
  // Control-click is the secondary press, with Control still reported.
  IMouseMod control = MouseModFromState(ControlMask, X11Button::kPrimary);
  EXPECT_TRUE(control.L && control.R && control.C);
  IMouseMod right = MouseModFromState(ShiftMask | Mod1Mask, X11Button::kSecondary);
  EXPECT_FALSE(right.L);
  EXPECT_TRUE(right.R && right.S && right.A);
  // Motion reports the buttons held.
  IMouseMod dragging = MouseModFromState(Button1Mask | ShiftMask, X11Button::kNone);
  EXPECT_TRUE(dragging.L && dragging.S);
  EXPECT_FALSE(dragging.R);
  EXPECT_TRUE(MouseModFromState(Button3Mask, X11Button::kNone).R);
}

TEST(X11Input, DoubleClicksNeedTwoNearbyPressesInTime) {
  DoubleClickDetector d;
  EXPECT_FALSE(d.Press(1000, 10, 10));
  EXPECT_TRUE(d.Press(1400, 14, 6));
  // A third press starts over.
  EXPECT_FALSE(d.Press(1500, 14, 6));
  EXPECT_FALSE(d.Press(1901, 14, 6));  // too late
  EXPECT_FALSE(d.Press(2000, 19, 6));  // too far
  EXPECT_TRUE(d.Press(2100, 19, 6));
  // Across the wrap of the server's 32-bit clock.
  DoubleClickDetector w;
  EXPECT_FALSE(w.Press(0xFFFFFF00ul, 0, 0));
  EXPECT_TRUE(w.Press(0x00000010ul, 0, 0));
  DoubleClickDetector r;
  EXPECT_FALSE(r.Press(100, 0, 0));
  r.Reset();
  EXPECT_FALSE(r.Press(200, 0, 0));
}
