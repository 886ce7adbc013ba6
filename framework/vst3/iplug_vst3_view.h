// The editor view handed to the host: a thin forwarder to the plug-in's
// editor engine, whose platform layer makes the real view in the host's
// window.
#pragma once

#include "public.sdk/source/common/pluginview.h"

class IGraphics;
class IPlugVST3;

class IPlugVST3View : public Steinberg::CPluginView {
public:
  // Holds a reference to plug, which so outlives the view.
  explicit IPlugVST3View(IPlugVST3* plug);
  ~IPlugVST3View() override;

  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;

  // Asks the host to resize the view; the next size it reports is passed on
  // to the plug-in.
  void resize(int w, int h);

private:
  // The platform window inside parent; false when it cannot be opened.
  bool OpenNativeWindow(IGraphics* gui, void* parent);

  IPlugVST3* mPlug;
  bool mExpectingNewSize = false;
};
