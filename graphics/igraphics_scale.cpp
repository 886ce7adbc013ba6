// The editor's scale: where it comes from, the view's size in device pixels,
// the images drawn at it, and the background menu that picks it.
#include <cstdio>
#include <string>

#include "framework/iplug_base.h"
#include "graphics/editor_scale.h"
#include "graphics/editor_settings.h"
#include "graphics/icontrol.h"
#include "graphics/igraphics.h"
#include "graphics/ipopup_menu.h"
#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_scaled_blit.h"
#include "lice/lice_sysbitmap.h"

namespace {
EditorSettings SettingsOf(IPlugBase* plug) { return EditorSettings::ForProduct(plug ? plug->GetEffectName() : nullptr); }

// "BG.png" -> "BG@2x.png".
std::string HiResName(const std::string& name) {
  const size_t dot = name.rfind('.');
  const size_t slash = name.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + "@2x";
  return name.substr(0, dot) + "@2x" + name.substr(dot);
}
}  // namespace

int IGraphics::ScalePercent() {
  if (!mScaleResolved) {
    mScaleResolved = true;
    int percent = SettingsOf(mPlug).ScalePercent();
    if (!percent) percent = DesktopScalePercent();
    // Nobody has been told a size yet: nothing to announce.
    if (percent && percent != mScalePercent) {
      mScalePercent = NearestScalePercent(percent);
      mDeviceImages.clear();
      if (mDrawBitmap) PrepDraw();
      SetAllControlsDirty();
    }
  }
  return mScalePercent;
}

void IGraphics::SetScalePercent(int percent) {
  mScaleResolved = true;
  percent = NearestScalePercent(percent);
  if (percent == mScalePercent) return;
  mScalePercent = percent;
  mDeviceImages.clear();
  if (mDrawBitmap) PrepDraw();
  SetAllControlsDirty();
  if (mPlug) mPlug->ResizeGraphics(ViewWidth(), ViewHeight());
}

bool IGraphics::SetHostScaleFactor(double factor) {
  const int percent = ScalePercentForFactor(factor);
  if (!percent) return false;
  SetScalePercent(percent);
  return true;
}

void IGraphics::ChooseScalePercent(int percent) {
  SetScalePercent(percent);
  // Remembered for editors opened later; a file that cannot be written
  // costs only that.
  EditorSettings settings = SettingsOf(mPlug);
  settings.SetScalePercent(mScalePercent);
  settings.Save();
}

int IGraphics::ViewWidth() { return ScaleEdge(mWidth, ScalePercent()); }
int IGraphics::ViewHeight() { return ScaleEdge(mHeight, ScalePercent()); }
IRECT IGraphics::ToDevice(const IRECT& rect) { return ScaleRectOutward(rect, ScalePercent()); }
int IGraphics::FromDevice(int device) { return UnscaleCoord(device, ScalePercent()); }

void IGraphics::OnBackgroundMenu(int x, int y) {
  IPopupMenu menu;
  for (int percent = kMinScalePercent; percent <= kMaxScalePercent; percent += kScaleStepPercent) {
    char text[32];
    std::snprintf(text, sizeof text, "Editor size %d %%", percent);
    menu.AddItem(text, -1, percent == ScalePercent() ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags);
  }
  IRECT at(x, y, x, y);
  IPopupMenu* picked = CreateIPopupMenu(&menu, &at);
  if (!picked) return;
  const int chosen = picked->GetChosenItemIdx();
  if (chosen < 0 || chosen >= kNumScaleSteps) return;
  ChooseScalePercent(kMinScalePercent + chosen * kScaleStepPercent);
}

LICE_IBitmap* IGraphics::DeviceImage(const IBitmap& bitmap) {
  if (mScalePercent == 100 || !bitmap.mData) return bitmap.mData;
  auto found = mDeviceImages.find(bitmap.mData);
  if (found != mDeviceImages.end()) return found->second.get();
  std::unique_ptr<LICE_IBitmap> made = MakeDeviceImage(bitmap);
  LICE_IBitmap* image = made.get();
  mDeviceImages[bitmap.mData] = std::move(made);
  return image;
}

std::unique_ptr<LICE_IBitmap> IGraphics::MakeDeviceImage(const IBitmap& bitmap) {
  const int p = mScalePercent;
  LICE_IBitmap* src = bitmap.mData;
  std::unique_ptr<LICE_IBitmap> hiRes;
  const auto name = mImageNames.find(src);
  if (name != mImageNames.end()) hiRes.reset(OSLoadBitmap(-1, HiResName(name->second).c_str()));
  // A 2x file of any other size is not this image's.
  const bool useHiRes = hiRes && hiRes->getWidth() == 2 * src->getWidth() && hiRes->getHeight() == 2 * src->getHeight();
  if (useHiRes && p == 200) return hiRes;
  LICE_IBitmap* from = useHiRes ? hiRes.get() : src;
  const float k = useHiRes ? 2.0f : 1.0f;
  auto image = std::make_unique<LICE_MemBitmap>(ScaleEdge(src->getWidth(), p), ScaleEdge(src->getHeight(), p));
  // Frame by frame, each into the device pixels its editor pixels cover,
  // so no frame bleeds into the next.
  const int n = bitmap.N;
  for (int f = 1; f <= n; ++f) {
    const int lo = f == 1 ? 0 : bitmap.FrameOffset(f);
    const int hi = f == n ? (bitmap.mFramesAreHorizontal ? bitmap.W : bitmap.H) : bitmap.FrameOffset(f + 1);
    const int dlo = ScaleEdge(lo, p), dhi = ScaleEdge(hi, p);
    constexpr int mode = LICE_BLIT_MODE_COPY | LICE_BLIT_FILTER_BILINEAR;
    if (bitmap.mFramesAreHorizontal) {
      LICE_ScaledBlit(image.get(), from, dlo, 0, dhi - dlo, image->getHeight(), lo * k, 0.0f, (hi - lo) * k,
                      static_cast<float>(from->getHeight()), 1.0f, mode);
    } else {
      LICE_ScaledBlit(image.get(), from, 0, dlo, image->getWidth(), dhi - dlo, 0.0f, lo * k,
                      static_cast<float>(from->getWidth()), (hi - lo) * k, 1.0f, mode);
    }
  }
  return image;
}

IRECT IGraphics::DeviceClip() { return ScaleRectOutward(mDrawRECT, mScalePercent); }

void IGraphics::PullMeterValues() {
  if (!mPlug) return;
  static_assert(sizeof mShownMeters / sizeof mShownMeters[0] == IPlugBase::kMaxMeters, "one per meter");
  for (int m = 0; m < mPlug->NMeters(); ++m) {
    const double value = mPlug->GetMeterValue(m);
    if (value == mShownMeters[m]) continue;
    mShownMeters[m] = value;
    SetControlFromPlug(mPlug->GetMeterControlIdx(m), value);
  }
}
