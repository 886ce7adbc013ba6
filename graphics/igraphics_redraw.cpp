// Finding what is dirty and drawing it into the draw bitmap.
#include "graphics/icontrol.h"
#include "graphics/igraphics.h"

bool IGraphics::IsDirty(IRECT* rect) {
  bool dirty = false;
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->IsDirty()) {
      *rect = rect->Union(control->GetPaintRECT());
      dirty = true;
    }
  }
  return dirty;
}

bool IGraphics::Draw(IRECT* rect) {
  if (mControls.GetSize() == 0) return true;
  if (mStrict)
    DrawStrict(*rect);
  else
    DrawNonStrict();
  return DrawScreen(rect);
}

void IGraphics::DrawStrict(const IRECT& rect) {
  mDrawRECT = rect;
  // Scaled, the device pixels rounded outward reach into the neighbours,
  // which so must be drawn again too.
  const IRECT reach =
      mScalePercent == 100 ? rect : IRECT(rect.L - 1, rect.T - 1, rect.R + 1, rect.B + 1);
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (!control->IsHidden() && reach.Intersects(control->GetPaintRECT())) control->Draw(this);
    control->SetClean();
  }
}

void IGraphics::DrawNonStrict() {
  IControl* background = mControls.Get(0);
  if (background->IsDirty()) {
    mDrawRECT = *background->GetRECT();
    for (int i = 0; i < mControls.GetSize(); ++i) {
      IControl* control = mControls.Get(i);
      if (i == 0 || !control->IsHidden()) {
        control->Draw(this);
        control->SetClean();
      }
    }
    return;
  }
  for (int i = 1; i < mControls.GetSize(); ++i) {
    IControl* dirty = mControls.Get(i);
    if (!dirty->IsDirty()) continue;
    mDrawRECT = dirty->GetPaintRECT();
    for (int j = 0; j < mControls.GetSize(); ++j) {
      IControl* control = mControls.Get(j);
      if (control->IsHidden()) continue;
      if (j == i || control->GetPaintRECT().Intersects(mDrawRECT)) control->Draw(this);
    }
    dirty->SetClean();
  }
}
