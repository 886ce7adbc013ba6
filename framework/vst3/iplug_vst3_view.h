// The editor view handed to the host: a thin forwarder to the plug-in's
// editor engine, whose platform layer makes the real view in the host's
// window.
#pragma once

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

class IGraphics;
class IPlugVST3;

// Sizes the host hears are device pixels: the editor's size at its scale.
class IPlugVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport {
public:
  // Holds a reference to plug, which so outlives the view.
  explicit IPlugVST3View(IPlugVST3* plug);
  ~IPlugVST3View() override;

  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  // The sizes are steps picked by scale, not dragged: any rectangle asked
  // for becomes the current size.
  Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* rect) override;
  // Before attached the next getSize answers at the factor; after it the
  // view asks its frame for the new size.
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  OBJ_METHODS(IPlugVST3View, CPluginView)
  DEFINE_INTERFACES
    DEF_INTERFACE(IPlugViewContentScaleSupport)
  END_DEFINE_INTERFACES(CPluginView)
  REFCOUNT_METHODS(CPluginView)

  // Asks the host to resize the view; the next size it reports is passed on
  // to the plug-in. False when the host refused; true when it took the size
  // or cannot be asked yet (it then asks getSize).
  bool resize(int w, int h);

private:
  // The platform window inside parent; false when it cannot be opened.
  bool OpenNativeWindow(IGraphics* gui, void* parent);

  IPlugVST3* mPlug;
  bool mExpectingNewSize = false;
  bool mScalingUnattached = false;
};
