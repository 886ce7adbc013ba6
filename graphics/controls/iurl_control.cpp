#include "graphics/controls/iurl_control.h"

#include <cstring>

#include "graphics/igraphics.h"

namespace {
// Cut to the array rather than trust the caller's length.
template <size_t N>
void CopyBounded(char (&dest)[N], const char* src) {
  std::memset(dest, 0, N);
  if (src && *src) std::strncpy(dest, src, N - 1);
}
}  // namespace

IURLControl::IURLControl(IPlugBase* plug, IRECT rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
    : IControl(plug, rect) {
  CopyBounded(mURL, url);
  CopyBounded(mBackupURL, backupURL);
  CopyBounded(mErrMsg, errMsgOnFailure);
}

IURLControl::~IURLControl() = default;

void IURLControl::OnMouseDown(int, int, IMouseMod*) {
  IGraphics* gui = GetGUI();
  if (!gui) return;
  bool opened = false;
  if (mURL[0]) opened = gui->OpenURL(mURL, mErrMsg, nullptr, nullptr);
  if (!opened && mBackupURL[0]) gui->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}
