#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/ibitmap_text_control.h"
#include "graphics/controls/ibutton_controls.h"
#include "graphics/controls/icaption_control.h"
#include "graphics/controls/ifader_control.h"
#include "graphics/controls/ifile_selector_control.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/controls/iknob_drawn_controls.h"
#include "graphics/controls/ipanel_control.h"
#include "graphics/controls/iswitch_control.h"
#include "graphics/controls/iswitch_frames_control.h"
#include "graphics/controls/itext_control.h"
#include "graphics/controls/iurl_control.h"
#include "tests/graphics/controls/controls_test_support.h"

namespace {
// One of every concrete control class (IControl and IKnobControl only lend
// their behaviour), some hanging over the editor's edges.
std::vector<IControl*> AttachEveryControl(ControlsTestEditor& editor) {
  IPlugBase* plug = &editor.plug;
  IText style(11, COLOR_WHITE, "DejaVu Sans");
  const IBitmap strip = editor.Strip(61, 20, 20);
  const IBitmap two = editor.Strip(2, 20, 10);
  const IBitmap sheet = editor.Strip(95, 6, 10);
  const IBitmap disc = editor.Solid(24, 24, 0x80FF8000u);
  std::vector<IControl*> controls = {
      new IPanelControl(plug, IRECT(0, 0, 200, 200), &COLOR_GRAY),
      new IBitmapControl(plug, 0, 0, -1, strip),
      new ISwitchControl(plug, 20, 0, kBypass, two),
      new ISwitchPopUpControl(plug, 40, 0, kMode, two),
      new ISwitchFramesControl(plug, 60, 0, kSteps, two, true),
      new IContactControl(plug, 80, 0, kBypass, two),
      new IBitmapOverlayControl(plug, 100, 0, kBypass, two, IRECT(100, 0, 105, 5)),
      new IInvisibleSwitchControl(plug, IRECT(120, 0, 140, 20), kBypass),
      new IRadioButtonsControl(plug, IRECT(0, 30, 100, 40), kSteps, 4, two, kHorizontal),
      new IFaderControl(plug, 0, 50, 100, kGain, two, kVertical),
      new IFaderControl(plug, 30, 180, 100, kRange, two, kHorizontal, true),
      new IKnobLineControl(plug, IRECT(60, 50, 100, 90), kGain, COLOR_YELLOW),
      new IKnobRotaterControl(plug, 100, 50, kGain, disc),
      new IKnobMultiControl(plug, 130, 50, kGain, strip),
      new IKnobRotatingMaskControl(plug, 180, 180, kGain, disc, disc, disc),
      new ITextControl(plug, IRECT(40, 100, 140, 120), &style, "text"),
      new ICaptionControl(plug, IRECT(40, 120, 140, 140), kGain, &style, true),
      new IURLControl(plug, IRECT(150, 100, 200, 300), "https://example.com/"),
      new IFileSelectorControl(plug, IRECT(150, 150, 170, 170), kRange, disc, kFileOpen),
      new IBitmapTextControl(plug, IRECT(40, 140, 100, 160), sheet, "Abc~\x7f\x01", &style, 6, 10, 1, true),
  };
  for (IControl* c : controls) editor.gui->AttachControl(c);
  editor.Attach();
  return controls;
}
}  // namespace

TEST(EveryControl, DrawsAnyValueWithoutFault) {
  ControlsTestEditor editor;
  std::vector<IControl*> controls = AttachEveryControl(editor);
  ASSERT_EQ(controls.size(), 20u);
  const double values[] = {0.0,
                           1.0,
                           -5.0,
                           7.0,
                           1e300,
                           -1e300,
                           std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  auto* radio = static_cast<IRadioButtonsControl*>(controls[8]);
  auto* fader = static_cast<IFaderControl*>(controls[9]);
  auto* line = static_cast<IKnobLineControl*>(controls[11]);
  for (double v : values) {
    for (IControl* c : controls) c->SetValue(v);
    editor.DrawAll();
    // Partial redraws clip differently from the full one.
    IRECT part(30, 40, 120, 130);
    editor.gui->Draw(&part);
    // Geometry derived from the value stays within the control.
    EXPECT_GE(radio->SelectedButton(), 0) << v;
    EXPECT_LT(radio->SelectedButton(), radio->NButtons()) << v;
    const IRECT handle = fader->GetHandleRECT();
    EXPECT_GE(handle.T, fader->GetRECT()->T) << v;
    EXPECT_LE(handle.B, fader->GetRECT()->B) << v;
    EXPECT_TRUE(std::isfinite(line->Angle())) << v;
  }
  for (IControl* c : controls) {
    c->Hide(true);
    c->GrayOut(true);
  }
  editor.DrawAll();
}

TEST(EveryControl, ValuesSentFromThePlugInAreClampedExceptTheFirst) {
  ControlsTestEditor editor;
  std::vector<IControl*> controls = AttachEveryControl(editor);
  for (int i = 0; i < editor.gui->NControls(); ++i) {
    editor.gui->SetControlFromPlug(i, 0.25);
    editor.gui->SetControlFromPlug(i, 3.0);
    EXPECT_DOUBLE_EQ(editor.gui->GetControl(i)->GetValue(), 1.0) << i;
    editor.gui->SetControlFromPlug(i, std::nan(""));
  }
  editor.DrawAll();
  (void)controls;
}

TEST(EveryControl, RendersAtAMiddleValue) {
  ControlsTestEditor editor;
  std::vector<IControl*> controls = AttachEveryControl(editor);
  for (IControl* c : controls) c->SetValue(0.6);
  editor.DrawAll();
  ASSERT_TRUE(editor.gui->WriteDrawBitmapPNG("/tmp/morvante_every_control.png"));
  // Panel behind everything, the 61-frame strip at 0.6 (frame 37) on top.
  EXPECT_EQ(editor.gui->GetPoint(199, 95), COLOR_GRAY);
  EXPECT_EQ(editor.Pixel(5, 5), FramePixel(37));
  // Four radio buttons over 100 pixels: 0.6 selects button 2 (of 0..3).
  EXPECT_EQ(editor.Pixel(65, 35), FramePixel(2));
  EXPECT_EQ(editor.Pixel(35, 35), FramePixel(1));
  // The rotated disc is drawn around the centre of (100, 50, 124, 74).
  EXPECT_NE(editor.gui->GetPoint(112, 62), COLOR_GRAY);
}
