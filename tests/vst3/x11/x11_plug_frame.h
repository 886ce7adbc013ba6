// A Linux host's frame for an embedded editor: IPlugFrame, and the IRunLoop
// it offers (or, for a host without one, does not), serving the plug-in's
// timers and descriptors from the host's poll loop.
#pragma once

#include <map>

#include "pluginterfaces/gui/iplugview.h"
#include "tests/support/x11/poll_loop.h"

class X11PlugFrame final : public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop {
public:
  X11PlugFrame(x11test::PollLoop* loop, bool offersRunLoop) : mLoop(loop), mOffersRunLoop(offersRunLoop) {}
  ~X11PlugFrame();

  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval milliseconds) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  // Lives on the test's stack.
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }
  int References() const { return mRefs; }

  int NumTimers() const { return static_cast<int>(mTimers.size()); }
  int NumHandlers() const { return static_cast<int>(mHandlers.size()); }
  Steinberg::Linux::TimerInterval lastInterval = 0;
  int resizes = 0;
  // A host whose window cannot take the size asked for answers no.
  bool refusesResize = false;
  Steinberg::ViewRect lastSize;

private:
  x11test::PollLoop* mLoop;
  bool mOffersRunLoop;
  int mRefs = 1;
  // Handler -> poll-loop id; the host holds a reference while registered,
  // as hosts do.
  std::map<Steinberg::Linux::ITimerHandler*, int> mTimers;
  std::map<Steinberg::Linux::IEventHandler*, int> mHandlers;
};
