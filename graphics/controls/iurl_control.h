// An invisible hot area over artwork that opens a web page when pressed.
#pragma once

#include "graphics/icontrol.h"

constexpr int URL_CONTROL_URL_SIZE = 256;
constexpr int URL_CONTROL_ERR_MSG_SIZE = 1024;

class IURLControl : public IControl {
public:
  // Null or empty texts stay empty; longer ones are cut to fit their
  // arrays (255 and 1023 characters).
  IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);
  ~IURLControl() override;

  // Any button opens the URL, or the backup URL when that fails or there is
  // no URL.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // The artwork belongs to the background.
  bool Draw(IGraphics*) override { return true; }

  const char* GetURL() const { return mURL; }
  const char* GetBackupURL() const { return mBackupURL; }
  const char* GetErrMsg() const { return mErrMsg; }

private:
  char mURL[URL_CONTROL_URL_SIZE];
  char mBackupURL[URL_CONTROL_URL_SIZE];
  char mErrMsg[URL_CONTROL_ERR_MSG_SIZE];
};
