#include "graphics/controls/ifile_selector_control.h"

#include "graphics/igraphics.h"

IFileSelectorControl::IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx, const IBitmap& bitmap,
                                           EFileAction action, const char* dir, const char* extensions)
    : IControl(plug, rect, paramIdx), mBitmap(bitmap), mDir(dir), mExtensions(extensions), mFileAction(action) {}

IFileSelectorControl::~IFileSelectorControl() = default;

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*) {
  IGraphics* gui = GetGUI();
  if (!gui) return;
  mState = kFSSelecting;
  SetDirty(false);
  gui->PromptForFile(&mFile, mFileAction, &mDir, mExtensions.Get());
  const double next = GetValue() + 1.0;
  SetValue(next > 1.0 ? 0.0 : next);
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* graphics) {
  if (mState == kFSSelecting) graphics->DrawBitmap(&mBitmap, &mRECT, 0, 0, nullptr);
  return true;
}

bool IFileSelectorControl::IsDirty() {
  if (IControl::IsDirty()) return true;
  if (mState == kFSDone) {
    mState = kFSNone;
    return true;
  }
  return false;
}

void IFileSelectorControl::GetLastSelectedFileForPlug(WDL_String* out) const {
  if (out) out->Set(mFile.Get());
}

void IFileSelectorControl::SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }
