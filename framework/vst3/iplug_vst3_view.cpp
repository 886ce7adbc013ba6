#include "framework/vst3/iplug_vst3_view.h"

#include <cstring>

#include "framework/vst3/iplug_vst3.h"
#include "graphics/igraphics.h"
#if SMTG_OS_LINUX
#include "framework/vst3/vst3_run_loop.h"
#endif

using namespace Steinberg;

namespace {
bool IsType(FIDString type, FIDString expected) { return type && std::strcmp(type, expected) == 0; }

// The window system the editor engine's platform layer serves.
#if SMTG_OS_MACOS
bool IsNativeType(FIDString type) { return IsType(type, kPlatformTypeNSView); }
bool IsSupportedType(FIDString type) { return IsNativeType(type) || IsType(type, kPlatformTypeHIView); }
#elif SMTG_OS_WINDOWS
bool IsNativeType(FIDString type) { return IsType(type, kPlatformTypeHWND); }
bool IsSupportedType(FIDString type) { return IsNativeType(type); }
#else
bool IsNativeType(FIDString type) { return IsType(type, kPlatformTypeX11EmbedWindowID); }
bool IsSupportedType(FIDString type) { return IsNativeType(type); }
#endif
}  // namespace

IPlugVST3View::IPlugVST3View(IPlugVST3* plug) : CPluginView(nullptr), mPlug(plug) { mPlug->addRef(); }

IPlugVST3View::~IPlugVST3View() {
  // A host that releases a view it never removed must not leave a window
  // (and run-loop registrations) behind.
  if (systemWindow) removed();
  mPlug->removeDependentView(this);
  mPlug->release();
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type) {
  return mPlug->GetGUI() && IsSupportedType(type) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type) {
  IGraphics* gui = mPlug->GetGUI();
  // Saying yes to a window type nothing can open would leave the host an
  // empty frame it believes is the editor.
  if (!gui || !IsSupportedType(type)) return kResultFalse;
  if (IsNativeType(type)) {
    if (!OpenNativeWindow(gui, parent)) return kResultFalse;
  } else {
    gui->OpenWindow(parent, nullptr, 0, 0);
  }
  CPluginView::attached(parent, type);
  mPlug->OnGUIOpen();
  return kResultOk;
}

bool IPlugVST3View::OpenNativeWindow(IGraphics* gui, void* parent) {
  std::unique_ptr<EditorRunLoop> loop;
#if SMTG_OS_LINUX
  // A Linux host's run loop comes with its frame. An engine that needs one
  // opens nothing without it, and the host shows its own generic editor
  // instead of a window that never updates.
  loop = Vst3RunLoop::FromFrame(plugFrame);
#endif
  return gui->OpenWindowOnRunLoop(parent, std::move(loop));
}

tresult PLUGIN_API IPlugVST3View::removed() {
  if (IGraphics* gui = mPlug->GetGUI()) {
    mPlug->OnGUIClose();
    gui->CloseWindow();
  }
  CPluginView::removed();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size) {
  IGraphics* gui = mPlug->GetGUI();
  if (!gui) return kResultFalse;
  if (!size) return kInvalidArgument;
  *size = ViewRect(0, 0, gui->ViewWidth(), gui->ViewHeight());
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::checkSizeConstraint(ViewRect* size) {
  IGraphics* gui = mPlug->GetGUI();
  if (!gui) return kResultFalse;
  if (!size) return kInvalidArgument;
  *size = ViewRect(size->left, size->top, size->left + gui->ViewWidth(), size->top + gui->ViewHeight());
  return kResultTrue;
}

tresult PLUGIN_API IPlugVST3View::setContentScaleFactor(ScaleFactor factor) {
  IGraphics* gui = mPlug->GetGUI();
  if (!gui) return kResultFalse;
  // Attached, the engine's new size reaches the frame through the plug-in;
  // before, the host asks getSize when it makes the frame.
  mScalingUnattached = !systemWindow;
  const bool taken = gui->SetHostScaleFactor(factor);
  mScalingUnattached = false;
  return taken ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize) {
  if (newSize) {
    rect = *newSize;
    if (mExpectingNewSize) {
      mPlug->OnWindowResize();
      mExpectingNewSize = false;
    }
  }
  return kResultOk;
}

bool IPlugVST3View::resize(int w, int h) {
  // Without a frame the host cannot be asked; it learns the size from
  // getSize when it makes one.
  if (!plugFrame || mScalingUnattached) return true;
  mExpectingNewSize = true;
  ViewRect newSize(0, 0, w, h);
  if (plugFrame->resizeView(this, &newSize) == kResultOk) return true;
  mExpectingNewSize = false;
  return false;
}
