#include "framework/vst3/editor_snapshot.h"

#include <atomic>

#include "framework/vst3/iplug_vst3.h"
#include "graphics/editor_scale.h"
#include "graphics/igraphics.h"
#include "lice/lice_png.h"
#include "lice/lice_sysbitmap.h"

using namespace Steinberg;

DEF_CLASS_IID(IEditorSnapshot)
DEF_CLASS_IID(IEditorSnapshot2)

namespace {
class EditorSnapshot final : public IEditorSnapshot2 {
public:
  explicit EditorSnapshot(IPlugVST3* plug) : mPlug(plug) { mPlug->addRef(); }
  ~EditorSnapshot() { mPlug->release(); }

  tresult PLUGIN_API writeEditorPNG(const char* path) override { return writeEditorPNGAtScale(path, 100); }

  tresult PLUGIN_API writeEditorPNGAtScale(const char* path, int32 scalePercent) override {
    if (!path || !*path) return kInvalidArgument;
    if (scalePercent < kMinScalePercent || scalePercent > kMaxScalePercent ||
        NearestScalePercent(scalePercent) != scalePercent)
      return kInvalidArgument;
    IGraphics* gui = mPlug->GetGUI();
    if (!gui || gui->NControls() == 0) return kNotImplemented;
    const int before = gui->ScalePercent();
    if (before != scalePercent && gui->WindowIsOpen()) return kResultFalse;
    // Drawn at the scale asked for, then put back as it was.
    gui->SetScalePercent(scalePercent);
    const tresult result = Write(gui, path);
    gui->SetScalePercent(before);
    return result;
  }

  tresult PLUGIN_API showEditorDisplay(TBool show) override {
    if (!mPlug->GetGUI()) return kNotImplemented;
    return mPlug->ShowEditorDisplay(show != 0) ? kResultOk : kNotImplemented;
  }

  tresult PLUGIN_API runEditorTimer() override {
    IGraphics* gui = mPlug->GetGUI();
    if (!gui) return kNotImplemented;
    gui->OnGUIIdle();
    return kResultOk;
  }

  tresult Write(IGraphics* gui, const char* path) {
    WDL_MutexLock lock(mPlug->GetMutex());
    if (!gui->GetDrawBitmap()) gui->PrepDraw();
    // Meter levels the audio thread left for the editor land first.
    gui->OnGUIIdle();
    gui->SetAllControlsDirty();
    IRECT whole(0, 0, gui->Width(), gui->Height());
    gui->Draw(&whole);
    LICE_SysBitmap* bitmap = gui->GetDrawBitmap();
    return bitmap && LICE_WritePNG(path, bitmap) ? kResultOk : kResultFalse;
  }

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, IEditorSnapshot::iid) ||
        FUnknownPrivate::iidEqual(iid, IEditorSnapshot2::iid)) {
      addRef();
      *obj = static_cast<IEditorSnapshot2*>(this);
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return mRefs.fetch_add(1, std::memory_order_relaxed) + 1; }
  uint32 PLUGIN_API release() override {
    const uint32 left = mRefs.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
  }

private:
  IPlugVST3* mPlug;
  std::atomic<uint32> mRefs{1};
};
}  // namespace

tresult QueryEditorSnapshot(IPlugVST3* plug, void** obj) {
  *obj = static_cast<IEditorSnapshot2*>(new EditorSnapshot(plug));
  return kResultOk;
}
