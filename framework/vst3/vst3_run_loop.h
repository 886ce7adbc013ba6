// The editor's timer and X connection served by the host's run loop, which
// a Linux host offers through the frame it gives the view.
#pragma once

#include <memory>

#include "graphics/editor_run_loop.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

class Vst3RunLoop : public EditorRunLoop {
public:
  // The frame's run loop; null when the host offers none.
  static std::unique_ptr<Vst3RunLoop> FromFrame(Steinberg::IPlugFrame* frame);
  ~Vst3RunLoop() override;

  bool Start(int fd, int intervalMs, EditorRunLoopClient* client) override;
  void Stop() override;

  class Handler;

private:
  explicit Vst3RunLoop(Steinberg::IPtr<Steinberg::Linux::IRunLoop> loop);

  Steinberg::IPtr<Steinberg::Linux::IRunLoop> mLoop;
  // Reference-counted: a host may keep its reference after unregistering.
  Handler* mHandler = nullptr;
  bool mTimerRegistered = false;
  bool mFdRegistered = false;
};
