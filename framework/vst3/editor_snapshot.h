// A private interface for offline tools: the plug-in draws its whole editor
// (every control at its current value, meters at their last levels) into
// the engine's off-screen bitmap and writes it to a PNG file, with no window
// and no host view. Hosts never ask for it.
#pragma once

#include "pluginterfaces/base/funknown.h"

class IEditorSnapshot : public Steinberg::FUnknown {
public:
  // kResultOk when the file is written; kNotImplemented when the plug-in has
  // no editor; kResultFalse when drawing or writing failed.
  virtual Steinberg::tresult PLUGIN_API writeEditorPNG(const char* path) = 0;
  // The same at an editor scale in percent (100 to 200 in steps of 25), the
  // image scale / 100 times the size; kInvalidArgument for another scale,
  // kResultFalse while the editor's window is open at another one.
  virtual Steinberg::tresult PLUGIN_API writeEditorPNGAtScale(const char* path, Steinberg::int32 scalePercent) = 0;

  static const Steinberg::FUID iid;
};

DECLARE_CLASS_IID(IEditorSnapshot, 0x4D525653, 0x4E415031, 0x506E7672, 0x4D525632)

// The snapshot of an editor whose display follows the audio: the tool opens
// the display before it renders and runs the editor's timer work as the
// audio goes by, so the picture shows the end of the render.
class IEditorSnapshot2 : public IEditorSnapshot {
public:
  // Opens (true) or closes the editor's display; later snapshots show the
  // editor at its new size. kNotImplemented when the editor has none.
  virtual Steinberg::tresult PLUGIN_API showEditorDisplay(Steinberg::TBool show) = 0;
  // One tick of the editor's timer (meters, the display's analysis of the
  // audio processed since the last), on the thread that renders.
  virtual Steinberg::tresult PLUGIN_API runEditorTimer() = 0;

  static const Steinberg::FUID iid;
};

DECLARE_CLASS_IID(IEditorSnapshot2, 0x4D525653, 0x4E415032, 0x506E7672, 0x4D525632)

class IPlugVST3;

// The interface as a separate object that keeps the plug-in alive while a
// tool holds it, so the plug-in's own class gains no base.
Steinberg::tresult QueryEditorSnapshot(IPlugVST3* plug, void** obj);
