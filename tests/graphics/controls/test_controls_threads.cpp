// Values from an audio thread while the editor draws and the user turns
// controls; meaningful under the ThreadSanitizer build.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "graphics/controls/ibutton_controls.h"
#include "graphics/controls/icaption_control.h"
#include "graphics/controls/ifader_control.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/controls/iknob_drawn_controls.h"
#include "graphics/controls/iswitch_control.h"
#include "tests/graphics/controls/controls_test_support.h"

TEST(ControlsThreads, PlugValuesWhileTheEditorDrawsAndTheUserTurns) {
  ControlsTestEditor editor(kAPIVST2, 200, 100);
  IText style(10, COLOR_WHITE, "DejaVu Sans");
  editor.gui->AttachControl(new IKnobMultiControl(&editor.plug, 0, 0, kGain, editor.Strip(61, 20, 20)));
  editor.gui->AttachControl(new IKnobLineControl(&editor.plug, IRECT(20, 0, 40, 20), kDepth, COLOR_RED));
  editor.gui->AttachControl(new IFaderControl(&editor.plug, 40, 0, 60, kRange, editor.Strip(1, 10, 10)));
  editor.gui->AttachControl(
      new IRadioButtonsControl(&editor.plug, IRECT(60, 0, 100, 10), kSteps, 4, editor.Strip(2, 10, 10), kHorizontal));
  editor.gui->AttachControl(new ISwitchControl(&editor.plug, 100, 0, kBypass, editor.Strip(2, 20, 10)));
  editor.gui->AttachControl(new ICaptionControl(&editor.plug, IRECT(0, 60, 100, 80), kGain, &style));
  const int meter = editor.gui->AttachControl(new IBitmapControl(&editor.plug, 150, 0, -1, editor.Strip(61, 10, 40)));
  editor.Attach();

  std::atomic<bool> stop{false};
  std::thread audio([&] {
    int n = 0;
    while (!stop.load()) {
      const double v = 0.5 + 0.5 * std::sin(0.01 * n++);
      editor.gui->SetParameterFromPlug(kGain, v, true);
      editor.gui->SetParameterFromPlug(kSteps, v, true);
      editor.gui->SetControlFromPlug(meter, v * 1.2);
    }
  });
  IMouseMod none;
  IMouseMod left(true);
  for (int i = 0; i < 300; ++i) {
    editor.gui->OnMouseWheel(10, 10, &none, i % 2 ? 1 : -1);
    editor.gui->OnMouseDown(70, 5, &left);
    editor.gui->OnMouseUp(70, 5, &left);
    IRECT dirty;
    if (editor.gui->IsDirty(&dirty)) editor.gui->Draw(&dirty);
  }
  stop.store(true);
  audio.join();
  editor.DrawAll();
  IControl* meterControl = editor.gui->GetControl(meter);
  EXPECT_GE(meterControl->GetValue(), 0.0);
  EXPECT_LE(meterControl->GetValue(), 1.2);
}
