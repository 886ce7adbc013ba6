// A button that asks the platform for a file and remembers the pick.
#pragma once

#include "framework/wdl_string.h"
#include "graphics/icontrol.h"

class IFileSelectorControl : public IControl {
public:
  enum EFileSelectorState { kFSNone = 0, kFSSelecting = 1, kFSDone = 2 };

  // extensions: space-separated, as PromptForFile takes them.
  IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx, const IBitmap& bitmap, EFileAction action,
                       const char* dir = "", const char* extensions = "");
  ~IFileSelectorControl() override;

  // Asks for a file (only when the plug-in has an editor), then steps the
  // value between 0 and 1 so a bound parameter sees every pick.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // The image shows only while the platform's dialog is up.
  bool Draw(IGraphics* graphics) override;
  // Dirty once more after a pick, so the image is taken away.
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(WDL_String* out) const;
  void SetLastSelectedFileFromPlug(const char* file);
  EFileSelectorState GetState() const { return mState; }

private:
  IBitmap mBitmap;
  WDL_String mDir;
  WDL_String mFile;
  WDL_String mExtensions;
  EFileAction mFileAction;
  EFileSelectorState mState = kFSNone;
};
