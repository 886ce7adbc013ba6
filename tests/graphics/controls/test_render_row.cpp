#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/controls/iknob_drawn_controls.h"
#include "graphics/controls/iswitch_control.h"
#include "graphics/controls/itext_control.h"
#include "lice/lice_curve.h"
#include "lice/lice_fill.h"
#include "lice/lice_line.h"
#include "tests/graphics/controls/controls_test_support.h"

namespace {
constexpr LICE_pixel kPanel = 0xFF202830u;
constexpr LICE_pixel kKnobBody = 0xFF6A7078u;
constexpr LICE_pixel kPointer = 0xFFFFFFFFu;
constexpr LICE_pixel kSwitchOff = 0xFF404040u;
constexpr LICE_pixel kSwitchOn = 0xFF30C040u;
constexpr LICE_pixel kMeterLit = 0xFFFF8000u;
constexpr LICE_pixel kMeterDark = 0xFF000000u;
constexpr int kKnobSize = 48;
constexpr double kPi = 3.14159265358979323846;

// Angle of frame f (from 1) of the knob strip: -135 to +135 degrees,
// clockwise from straight up.
double FrameAngle(int frame) { return (-135.0 + (frame - 1) * 270.0 / 60.0) * kPi / 180.0; }

// Point at radius r along the pointer of frame f, relative to the knob's
// top-left corner.
void PointerPoint(int frame, double r, int* x, int* y) {
  *x = static_cast<int>(std::lround(kKnobSize / 2 + r * std::sin(FrameAngle(frame))));
  *y = static_cast<int>(std::lround(kKnobSize / 2 - r * std::cos(FrameAngle(frame))));
}

std::unique_ptr<LICE_MemBitmap> KnobStrip() {
  auto strip = std::make_unique<LICE_MemBitmap>(kKnobSize, kKnobSize * 61);
  LICE_Clear(strip.get(), 0);
  for (int f = 1; f <= 61; ++f) {
    const int top = (f - 1) * kKnobSize;
    LICE_FillCircle(strip.get(), kKnobSize / 2, top + kKnobSize / 2, 20.0f, kKnobBody, 1.0f, 0, false);
    int x = 0;
    int y = 0;
    PointerPoint(f, 18.0, &x, &y);
    LICE_Line(strip.get(), kKnobSize / 2, top + kKnobSize / 2, x, top + y, kPointer, 1.0f, 0, false);
  }
  return strip;
}

std::unique_ptr<LICE_MemBitmap> SwitchStrip() {
  auto strip = std::make_unique<LICE_MemBitmap>(30, 32);
  LICE_FillRect(strip.get(), 0, 0, 30, 16, kSwitchOff, 1.0f, 0);
  LICE_FillRect(strip.get(), 0, 16, 30, 16, kSwitchOn, 1.0f, 0);
  return strip;
}

// Frame f lights the bottom f - 1 of 60 rows.
std::unique_ptr<LICE_MemBitmap> MeterStrip() {
  auto strip = std::make_unique<LICE_MemBitmap>(12, 60 * 61);
  for (int f = 1; f <= 61; ++f) {
    LICE_FillRect(strip.get(), 0, (f - 1) * 60, 12, 60, kMeterDark, 1.0f, 0);
    LICE_FillRect(strip.get(), 0, (f - 1) * 60 + 60 - (f - 1), 12, f - 1, kMeterLit, 1.0f, 0);
  }
  return strip;
}

int WhiteIn(ControlsTestEditor& editor, const IRECT& r) {
  int n = 0;
  for (int y = r.T; y < r.B; ++y)
    for (int x = r.L; x < r.R; ++x) {
      const IColor c = editor.gui->GetPoint(x, y);
      n += c.R > 200 && c.G > 200 && c.B > 200;
    }
  return n;
}
}  // namespace

TEST(RenderedRow, KnobsSwitchMeterLineKnobAndReadoutsLookRight) {
  auto knobPixels = KnobStrip();
  auto switchPixels = SwitchStrip();
  auto meterPixels = MeterStrip();
  ControlsTestEditor editor(kAPIVST2, 340, 120);
  const IBitmap knobs(knobPixels.get(), kKnobSize, kKnobSize * 61, 61);
  const IBitmap sw(switchPixels.get(), 30, 32, 2);
  const IBitmap meter(meterPixels.get(), 12, 60 * 61, 61);

  editor.gui->AttachPanelBackground(IColor::FromPacked(kPanel));
  auto* gainKnob = new IKnobMultiControl(&editor.plug, 10, 10, kGain, knobs);
  auto* midKnob = new IKnobMultiControl(&editor.plug, 70, 10, -1, knobs);
  auto* topKnob = new IKnobMultiControl(&editor.plug, 130, 10, -1, knobs);
  auto* bypass = new ISwitchControl(&editor.plug, 200, 26, kBypass, sw);
  auto* vu = new IBitmapControl(&editor.plug, 250, 10, -1, meter);
  auto* line = new IKnobLineControl(&editor.plug, IRECT(280, 10, 328, 58), -1, COLOR_YELLOW);
  IText style(12, COLOR_WHITE, "DejaVu Sans");
  style.mAlign = IText::kAlignNear;
  auto* name = new ITextControl(&editor.plug, IRECT(10, 70, 190, 90), &style);
  auto* value = new ITextControl(&editor.plug, IRECT(10, 90, 190, 110), &style);
  for (IControl* c : {static_cast<IControl*>(gainKnob), static_cast<IControl*>(midKnob),
                      static_cast<IControl*>(topKnob), static_cast<IControl*>(bypass), static_cast<IControl*>(vu),
                      static_cast<IControl*>(line)}) {
    c->SetNameDisplayControl(name);
    c->SetValDisplayControl(value);
  }
  const int midIdx = editor.gui->AttachControl(midKnob);
  const int topIdx = editor.gui->AttachControl(topKnob);
  editor.gui->AttachControl(gainKnob);
  editor.gui->AttachControl(bypass);
  const int vuIdx = editor.gui->AttachControl(vu);
  const int lineIdx = editor.gui->AttachControl(line);
  editor.gui->AttachControl(name);
  editor.gui->AttachControl(value);
  editor.Attach();

  editor.gui->SetControlFromPlug(midIdx, 0.5);
  editor.gui->SetControlFromPlug(topIdx, 1.0);
  editor.gui->SetControlFromPlug(vuIdx, 0.5);
  editor.gui->SetControlFromPlug(lineIdx, 0.5);
  IMouseMod left(true);
  editor.gui->OnMouseDown(215, 34, &left);
  editor.gui->OnMouseUp(215, 34, &left);
  // 28 px up on a 48-px knob geared 4: +28/192 of 24 dB = +3.5 dB.
  editor.gui->OnMouseDown(34, 40, &left);
  editor.gui->OnMouseDrag(34, 12, &left);
  editor.gui->OnMouseUp(34, 12, &left);
  ASSERT_NEAR(editor.plug.GetParam(kGain)->Value(), 3.5, 1e-9);

  IRECT dirty;
  ASSERT_TRUE(editor.gui->IsDirty(&dirty));
  editor.DrawAll();
  ASSERT_TRUE(editor.gui->WriteDrawBitmapPNG("/tmp/morvante_controls_row.png"));

  EXPECT_EQ(editor.Pixel(2, 2), kPanel);
  // Pointers: the middle knob points straight up, the top one to 135
  // degrees; the gain knob (frame 40) points elsewhere.
  int x = 0;
  int y = 0;
  PointerPoint(31, 14.0, &x, &y);
  EXPECT_EQ(editor.Pixel(70 + x, 10 + y), kPointer);
  EXPECT_EQ(editor.Pixel(10 + x, 10 + y), kKnobBody);
  PointerPoint(61, 14.0, &x, &y);
  EXPECT_EQ(editor.Pixel(130 + x, 10 + y), kPointer);
  EXPECT_EQ(editor.Pixel(70 + x, 10 + y), kKnobBody);
  PointerPoint(40, 14.0, &x, &y);
  EXPECT_EQ(editor.Pixel(10 + x, 10 + y), kPointer);
  // The knob's transparent corners show the panel.
  EXPECT_EQ(editor.Pixel(71, 11), kPanel);
  // Switch on after the press.
  EXPECT_EQ(editor.Pixel(215, 34), kSwitchOn);
  // Meter at 0.5: frame 31, the bottom 30 rows lit.
  EXPECT_EQ(editor.Pixel(256, 10 + 59), kMeterLit);
  EXPECT_EQ(editor.Pixel(256, 10 + 30), kMeterLit);
  EXPECT_EQ(editor.Pixel(256, 10 + 29), kMeterDark);
  // Line knob at 0.5 points straight up from its centre (304, 34).
  EXPECT_EQ(editor.gui->GetPoint(304, 20), COLOR_YELLOW);
  EXPECT_NE(editor.gui->GetPoint(318, 34), COLOR_YELLOW);
  // Readouts: the gain knob was edited last.
  EXPECT_STREQ(name->GetTextForPlug(), "Gain");
  EXPECT_STREQ(value->GetTextForPlug(), "3.50 dB");
  EXPECT_GT(WhiteIn(editor, IRECT(10, 70, 60, 90)), 10);
  EXPECT_GT(WhiteIn(editor, IRECT(10, 90, 40, 110)), 5);
  EXPECT_EQ(WhiteIn(editor, IRECT(120, 70, 190, 110)), 0);
}
