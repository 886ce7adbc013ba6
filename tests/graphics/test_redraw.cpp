#include <gtest/gtest.h>

#include "graphics/igraphics_headless.h"
#include "tests/graphics/graphics_test_support.h"

namespace {
void DrawAllClean(IGraphics* gui) {
  for (int i = 0; i < 3; ++i) {
    IRECT dirty;
    if (gui->IsDirty(&dirty)) gui->Draw(&dirty);
  }
}

// A 200 x 200 editor prepared for drawing.
class IGraphicsRedraw : public ::testing::Test {
protected:
  IGraphicsRedraw() { gui.PrepDraw(); }
  RecordingControl* Attach(IRECT rect) { return AttachRecording(gui, &plug, rect); }
  GraphicsTestPlug plug;
  IGraphicsHeadless gui{&plug, 200, 200};
};
}  // namespace

TEST_F(IGraphicsRedraw, DrawWithoutControlsSucceedsWithoutPresenting) {
  IRECT r(0, 0, 10, 10);
  EXPECT_TRUE(gui.Draw(&r));
  EXPECT_EQ(gui.NumPresented(), 0);
}

TEST_F(IGraphicsRedraw, IsDirtyUnitesTheRectanglesOfDirtyControls) {
  auto* a = Attach(IRECT(10, 10, 20, 20));
  auto* b = Attach(IRECT(50, 5, 60, 15));
  Attach(IRECT(100, 100, 110, 110));
  DrawAllClean(&gui);

  IRECT r;
  EXPECT_FALSE(gui.IsDirty(&r));
  EXPECT_EQ(r, IRECT());
  IRECT kept(1, 2, 3, 4);
  EXPECT_FALSE(gui.IsDirty(&kept));
  EXPECT_EQ(kept, IRECT(1, 2, 3, 4));

  a->SetDirty(false);
  b->SetDirty(false);
  EXPECT_TRUE(gui.IsDirty(&r));
  EXPECT_EQ(r, IRECT(10, 5, 60, 20));
  // IsDirty cleans nothing.
  IRECT again;
  EXPECT_TRUE(gui.IsDirty(&again));
  EXPECT_EQ(again, r);
}

TEST_F(IGraphicsRedraw, AChangedValueIsDrawnInTwoPassesAPlainDirtyInOne) {
  auto* control = new RecordingControl(&plug, IRECT(10, 10, 30, 30));
  const int idx = gui.AttachControl(control);
  DrawAllClean(&gui);
  control->draws = 0;

  gui.SetControlFromPlug(idx, 0.7);  // first value: becomes the default, not a change
  IRECT r;
  EXPECT_FALSE(gui.IsDirty(&r));
  EXPECT_DOUBLE_EQ(control->GetDefaultValue(), 0.7);

  gui.SetControlFromPlug(idx, 0.8);
  EXPECT_TRUE(control->NeedsRedraw());
  int passes = 0;
  for (int i = 0; i < 4; ++i) {
    IRECT dirty;
    if (!gui.IsDirty(&dirty)) break;
    EXPECT_EQ(dirty, IRECT(10, 10, 30, 30));
    EXPECT_TRUE(gui.Draw(&dirty));
    ++passes;
  }
  EXPECT_EQ(passes, 2);
  EXPECT_EQ(control->draws, 2);

  control->SetDirty(false);
  DrawAllClean(&gui);
  EXPECT_EQ(control->draws, 3);
}

TEST_F(IGraphicsRedraw, StrictDrawingDrawsWhatMeetsTheRectangleAndCleansEverything) {
  auto* inside = Attach(IRECT(0, 0, 10, 10));
  auto* outside = Attach(IRECT(50, 50, 60, 60));
  auto* hidden = Attach(IRECT(0, 0, 10, 10));
  hidden->Hide(true);
  IRECT r(0, 0, 20, 20);
  EXPECT_TRUE(gui.Draw(&r));
  EXPECT_EQ(inside->draws, 1);
  EXPECT_EQ(outside->draws, 0);
  EXPECT_EQ(hidden->draws, 0);
  EXPECT_FALSE(outside->IsDirty());
  // Hiding asked for a redraw, so it stays dirty for one more pass.
  EXPECT_TRUE(hidden->IsDirty());
  gui.Draw(&r);
  EXPECT_FALSE(hidden->IsDirty());
  EXPECT_EQ(hidden->draws, 0);
  EXPECT_EQ(gui.NumPresented(), 2);
  EXPECT_EQ(gui.LastPresented(), r);
  EXPECT_EQ(gui.GetDrawRect(), r);
}

TEST_F(IGraphicsRedraw, NonStrictDrawingRedrawsAroundEachDirtyControl) {
  auto* background = Attach(IRECT(0, 0, 100, 100));
  auto* a = Attach(IRECT(10, 10, 30, 30));
  auto* overlapping = Attach(IRECT(20, 20, 40, 40));
  auto* far = Attach(IRECT(70, 70, 80, 80));
  gui.SetStrictDrawing(false);
  EXPECT_FALSE(gui.IsStrictDrawing());

  // Background dirty: everything is drawn once and set clean.
  IRECT all(0, 0, 100, 100);
  gui.Draw(&all);
  EXPECT_EQ(background->draws, 1);
  EXPECT_EQ(far->draws, 1);
  IRECT r;
  EXPECT_FALSE(gui.IsDirty(&r));

  a->SetDirty(false);
  gui.Draw(&all);
  EXPECT_EQ(gui.GetDrawRect(), IRECT(10, 10, 30, 30));
  EXPECT_EQ(background->draws, 2);
  EXPECT_EQ(a->draws, 2);
  EXPECT_EQ(overlapping->draws, 2);
  EXPECT_EQ(far->draws, 1);
  EXPECT_FALSE(a->IsDirty());
}

TEST_F(IGraphicsRedraw, SetStrictDrawingAndSetAllControlsDirtyMarkEveryControl) {
  auto* a = Attach(IRECT(0, 0, 10, 10));
  auto* b = Attach(IRECT(20, 0, 30, 10));
  DrawAllClean(&gui);
  gui.SetAllControlsDirty();
  EXPECT_TRUE(a->IsDirty());
  EXPECT_TRUE(b->IsDirty());
  DrawAllClean(&gui);
  gui.SetStrictDrawing(true);
  EXPECT_TRUE(a->IsDirty());
  EXPECT_TRUE(b->IsDirty());
}

namespace {
// Text that runs on below its zero-height rectangle.
class OverhangingControl : public RecordingControl {
public:
  OverhangingControl(IPlugBase* plug, IRECT rect, IRECT paint) : RecordingControl(plug, rect), mPaint(paint) {}
  IRECT GetPaintRECT() override { return mPaint; }
  IRECT mPaint;
};
}  // namespace

// What a control paints beyond its rectangle is redrawn and reported with it.
TEST_F(IGraphicsRedraw, AControlsPaintedAreaIsWhatIsRedrawnAndReported) {
  auto* control = new OverhangingControl(&plug, IRECT(10, 30, 60, 30), IRECT(10, 30, 140, 48));
  gui.AttachControl(control);
  DrawAllClean(&gui);
  control->draws = 0;

  control->SetDirty(false);
  IRECT r;
  ASSERT_TRUE(gui.IsDirty(&r));
  EXPECT_EQ(r, IRECT(10, 30, 140, 48));
  gui.Draw(&r);
  EXPECT_EQ(control->draws, 1);

  // A redraw of a strip that misses the rectangle but crosses the text.
  IRECT strip(0, 40, 200, 100);
  gui.Draw(&strip);
  EXPECT_EQ(control->draws, 2);
  IRECT beside(150, 0, 200, 100);
  gui.Draw(&beside);
  EXPECT_EQ(control->draws, 2);
}
