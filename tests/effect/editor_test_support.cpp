#include "tests/effect/editor_test_support.h"

#include <gtest/gtest.h>

#include "graphics/controls/ibitmap_control.h"
#include "graphics/controls/iknob_control.h"
#include "graphics/controls/itext_control.h"
#include "lice/lice_blit.h"
#include "lice/lice_resource.h"
#include "lice/lice_sysbitmap.h"

void EditorImagesEnvironment::SetUp() { LICE_SetResourceFolder(MORVANTE_BUNDLE_RESOURCES); }

void EditorImagesEnvironment::TearDown() { LICE_SetResourceFolder(nullptr); }

testing::Environment* const kEditorImages = testing::AddGlobalTestEnvironment(new EditorImagesEnvironment);

IBitmap* ImageOf(IControl* control) {
  if (auto* knob = dynamic_cast<IKnobMultiControl*>(control)) return knob->GetBitmap();
  if (auto* bitmapControl = dynamic_cast<IBitmapControl*>(control)) return bitmapControl->GetBitmap();
  return nullptr;
}

IGraphicsLinux* EditorOf(TestMorvante& plug) { return dynamic_cast<IGraphicsLinux*>(plug.GetGUI()); }

int DrawUntilClean(IGraphics* gui) {
  // As the editor's timer does: the published meters first.
  gui->OnGUIIdle();
  int passes = 0;
  for (int i = 0; i < 4; ++i) {
    IRECT dirty;
    if (!gui->IsDirty(&dirty)) break;
    gui->Draw(&dirty);
    ++passes;
  }
  return passes;
}

void CopyDrawnArea(IGraphics* gui, const IRECT& area, LICE_MemBitmap* out) {
  out->resize(area.W(), area.H());
  LICE_Blit(out, gui->GetDrawBitmap(), 0, 0, area.L, area.T, area.W(), area.H(), 1.0f, 0);
}

void ComposeFrameOverBackground(IGraphics* gui, int controlIdx, int frame, LICE_MemBitmap* out) {
  auto* background = static_cast<IBitmapControl*>(gui->GetControl(0));
  IControl* control = gui->GetControl(controlIdx);
  IBitmap* image = ImageOf(control);
  const IRECT& r = *control->GetRECT();
  out->resize(r.W(), r.H());
  LICE_Blit(out, background->GetBitmap()->mData, 0, 0, r.L, r.T, r.W(), r.H(), 1.0f, 0);
  LICE_Blit(out, image->mData, 0, 0, 0, image->FrameOffset(frame), r.W(), r.H(), 1.0f,
            IChannelBlend::RasterMode(control->GetBlend()));
}

int CountDifferentPixels(LICE_IBitmap* a, LICE_IBitmap* b) {
  if (a->getWidth() != b->getWidth() || a->getHeight() != b->getHeight()) return -1;
  int n = 0;
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      if (a->getBits()[y * a->getRowSpan() + x] != b->getBits()[y * b->getRowSpan() + x]) ++n;
  return n;
}

int FrameShown(IGraphics* gui, int controlIdx) {
  IControl* control = gui->GetControl(controlIdx);
  return IBitmapControl::FrameForValue(control->GetValue(), ImageOf(control)->N);
}

void ControlCentre(IGraphics* gui, int controlIdx, int* x, int* y) {
  const IRECT& r = *gui->GetControl(controlIdx)->GetRECT();
  *x = (r.L + r.R) / 2;
  *y = (r.T + r.B) / 2;
}

const char* Text(IGraphics* gui, int idx) {
  return static_cast<ITextControl*>(gui->GetControl(idx))->GetTextForPlug();
}

void Drag(IGraphics* gui, int idx, int up, bool fine) {
  int x = 0, y = 0;
  ControlCentre(gui, idx, &x, &y);
  IMouseMod mod(true, false, fine);
  gui->OnMouseDown(x, y, &mod);
  const int step = up < 0 ? -1 : 1;
  for (int k = step; k != up + step; k += step) gui->OnMouseDrag(x, y - k, &mod);
  gui->OnMouseUp(x, y - up, &mod);
}

void Click(IGraphics* gui, int x, int y) {
  IMouseMod mod(true);
  gui->OnMouseDown(x, y, &mod);
  gui->OnMouseUp(x, y, &mod);
}

void DragKnobTo(TestMorvante& plug, int idx, int paramIdx, double target) {
  IGraphics* gui = plug.GetGUI();
  const double h = gui->GetControl(idx)->GetRECT()->H();
  const double delta = plug.GetParam(paramIdx)->GetNormalized(target) - gui->GetControl(idx)->GetValue();
  const int coarse = static_cast<int>(delta * 4.0 * h);
  if (coarse != 0) Drag(gui, idx, coarse);
  const double rest = plug.GetParam(paramIdx)->GetNormalized(target) - gui->GetControl(idx)->GetValue();
  const int fine = static_cast<int>(rest * 40.0 * h + (rest < 0 ? -0.5 : 0.5));
  if (fine != 0) Drag(gui, idx, fine, true);
}

bool Overlap(const IRECT& a, const IRECT& b) { return a.L < b.R && b.L < a.R && a.T < b.B && b.T < a.B; }
std::string Describe(const IRECT& r) {
  return "(" + std::to_string(r.L) + ", " + std::to_string(r.T) + ", " + std::to_string(r.R) + ", " +
         std::to_string(r.B) + ")";
}
