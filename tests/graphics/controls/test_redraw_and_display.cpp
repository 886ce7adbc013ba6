#include <gtest/gtest.h>

#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/controls/iswitch_control.h"
#include "graphics/controls/itext_control.h"
#include "tests/graphics/controls/controls_test_support.h"

namespace {
// Knob on Gain at (0, 0, 20, 20), switch on Bypass at (30, 0, 50, 10), and
// the two readouts every control reports to, as the effect's editor has.
struct ReadoutEditor {
  ReadoutEditor() {
    knob = new IKnobMultiControl(&editor.plug, 0, 0, kGain, editor.Strip(61, 20, 20));
    sw = new ISwitchControl(&editor.plug, 30, 0, kBypass, editor.Strip(2, 20, 10));
    IText style(12, COLOR_WHITE, "DejaVu Sans");
    name = new ITextControl(&editor.plug, IRECT(100, 0, 200, 20), &style, "");
    value = new ITextControl(&editor.plug, IRECT(100, 20, 200, 40), &style, "");
    for (IControl* c : {static_cast<IControl*>(knob), static_cast<IControl*>(sw)}) {
      c->SetNameDisplayControl(name);
      c->SetValDisplayControl(value);
      editor.gui->AttachControl(c);
    }
    editor.gui->AttachControl(name);
    editor.gui->AttachControl(value);
    editor.Attach();
  }
  ControlsTestEditor editor;
  IKnobMultiControl* knob;
  ISwitchControl* sw;
  ITextControl* name;
  ITextControl* value;
};

bool Dirty(IGraphics* gui) {
  IRECT r;
  return gui->IsDirty(&r);
}
}  // namespace

TEST(ControlRedraw, ValueFromThePlugInIsDrawnInTwoPassesAUserChangeInOne) {
  ReadoutEditor e;
  IGraphicsHeadless* gui = e.editor.gui;
  e.editor.DrawAll();
  ASSERT_FALSE(Dirty(gui));

  gui->SetParameterFromPlug(kGain, 0.8, true);
  IRECT r;
  ASSERT_TRUE(gui->IsDirty(&r));
  EXPECT_EQ(r, *e.knob->GetRECT());
  gui->Draw(&r);
  EXPECT_EQ(e.editor.Pixel(0, 0), FramePixel(49));
  EXPECT_TRUE(e.knob->IsDirty());  // asked for one more pass
  gui->Draw(&r);
  EXPECT_FALSE(Dirty(gui));

  // A wheel step marks dirty without a redraw request: one pass.
  IMouseMod none;
  gui->OnMouseWheel(5, 5, &none, 1);
  EXPECT_TRUE(e.knob->IsDirty());
  EXPECT_FALSE(e.knob->NeedsRedraw());
  e.editor.DrawAll();
  EXPECT_FALSE(e.knob->IsDirty());
}

TEST(ControlRedraw, SameValueFromThePlugInChangesNothing) {
  ReadoutEditor e;
  e.editor.DrawAll();
  e.editor.gui->SetParameterFromPlug(kGain, 0.5, true);
  EXPECT_FALSE(Dirty(e.editor.gui));
}

TEST(DisplayControls, UserChangeShowsTheParametersNameAndValueText) {
  ReadoutEditor e;
  e.editor.plug.GetParam(kGain)->Set(3.49);
  e.editor.gui->SetParameterFromPlug(kGain, e.editor.plug.GetParam(kGain)->GetNormalized(), true);
  e.editor.DrawAll();
  e.editor.DrawAll();
  // From the host: the readouts stay empty.
  EXPECT_STREQ(e.value->GetTextForPlug(), "");
  EXPECT_STREQ(e.name->GetTextForPlug(), "");

  IMouseMod none;
  e.editor.gui->OnMouseWheel(5, 5, &none, 1);  // +0.01 of 24 dB
  EXPECT_NEAR(e.editor.plug.GetParam(kGain)->Value(), 3.73, 1e-9);
  EXPECT_STREQ(e.value->GetTextForPlug(), "3.73 dB");
  EXPECT_STREQ(e.name->GetTextForPlug(), "Gain");
  EXPECT_TRUE(e.value->IsDirty());
  EXPECT_TRUE(e.name->IsDirty());

  IMouseMod left(true);
  e.editor.gui->OnMouseDown(35, 5, &left);
  // A display text has no label: the text is followed by a lone space.
  EXPECT_STREQ(e.value->GetTextForPlug(), "on ");
  EXPECT_STREQ(e.name->GetTextForPlug(), "Bypass");
}

TEST(DisplayControls, ReadoutIsDirtyOnlyWhenItsTextChanges) {
  ReadoutEditor e;
  IMouseMod none;
  e.editor.gui->OnMouseWheel(5, 5, &none, 1);
  e.editor.DrawAll();
  ASSERT_FALSE(e.name->IsDirty());
  e.editor.gui->OnMouseWheel(5, 5, &none, 1);
  EXPECT_FALSE(e.name->IsDirty());  // same name
  EXPECT_TRUE(e.value->IsDirty());  // new value
}

TEST(DisplayControls, ReadoutDrawsItsTextInItsStyle) {
  ReadoutEditor e;
  e.editor.DrawAll();
  int inkBefore = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 100; x < 200; ++x) inkBefore += e.editor.Pixel(x, y) != 0u;
  EXPECT_EQ(inkBefore, 0);
  IMouseMod none;
  e.editor.gui->OnMouseWheel(5, 5, &none, 1);
  e.editor.DrawAll();
  int white = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 100; x < 200; ++x) white += e.editor.gui->GetPoint(x, y).R > 200;
  EXPECT_GT(white, 10);
}

TEST(Meters, ValuesAboveOneShowTheLastFrameAndNeverReachThePlugIn) {
  ControlsTestEditor editor;
  auto* meter = new IBitmapControl(&editor.plug, 0, 0, -1, editor.Strip(61, 10, 30));
  const int idx = editor.gui->AttachControl(meter);
  editor.Attach();
  editor.gui->SetControlFromPlug(idx, 1.7);  // first value: kept as the default
  EXPECT_DOUBLE_EQ(meter->GetDefaultValue(), 1.7);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(5, 5), FramePixel(61));
  editor.gui->SetControlFromPlug(idx, 0.5);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(5, 5), FramePixel(31));
  editor.gui->SetControlFromPlug(idx, 25.0);
  EXPECT_DOUBLE_EQ(meter->GetValue(), 1.0);  // clamped on the way in
  EXPECT_TRUE(meter->NeedsRedraw());
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(5, 5), FramePixel(61));
  editor.gui->SetControlFromPlug(idx, -3.0);
  editor.DrawAll();
  EXPECT_EQ(editor.Pixel(5, 5), FramePixel(1));
  IMouseMod left(true);
  editor.gui->OnMouseDblClick(5, 5, &left);
  EXPECT_DOUBLE_EQ(meter->GetValue(), 1.0);
  EXPECT_TRUE(editor.plug.informed.empty());
  editor.gui->SetControlFromPlug(idx + 1, 0.3);  // past the list: ignored
}
