#include "tests/vst3/x11/x11_plug_frame.h"

using namespace Steinberg;

X11PlugFrame::~X11PlugFrame() {
  // What the plug-in forgot to unregister.
  for (auto& t : mTimers) {
    mLoop->Remove(t.second);
    t.first->release();
  }
  for (auto& h : mHandlers) {
    mLoop->Remove(h.second);
    h.first->release();
  }
}

tresult PLUGIN_API X11PlugFrame::resizeView(IPlugView* view, ViewRect* newSize) {
  ++resizes;
  if (!view || !newSize) return kInvalidArgument;
  lastSize = *newSize;
  if (refusesResize) return kResultFalse;
  return view->onSize(newSize);
}

tresult PLUGIN_API X11PlugFrame::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) {
  if (!handler || mHandlers.count(handler)) return kInvalidArgument;
  handler->addRef();
  mHandlers[handler] = mLoop->AddFd(fd, [handler, fd] { handler->onFDIsSet(fd); });
  return kResultOk;
}

tresult PLUGIN_API X11PlugFrame::unregisterEventHandler(Linux::IEventHandler* handler) {
  auto it = mHandlers.find(handler);
  if (it == mHandlers.end()) return kInvalidArgument;
  mLoop->Remove(it->second);
  mHandlers.erase(it);
  handler->release();
  return kResultOk;
}

tresult PLUGIN_API X11PlugFrame::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds) {
  if (!handler || mTimers.count(handler) || milliseconds == 0) return kInvalidArgument;
  handler->addRef();
  lastInterval = milliseconds;
  mTimers[handler] = mLoop->AddTimer(static_cast<int>(milliseconds), [handler] { handler->onTimer(); });
  return kResultOk;
}

tresult PLUGIN_API X11PlugFrame::unregisterTimer(Linux::ITimerHandler* handler) {
  auto it = mTimers.find(handler);
  if (it == mTimers.end()) return kInvalidArgument;
  mLoop->Remove(it->second);
  mTimers.erase(it);
  handler->release();
  return kResultOk;
}

tresult PLUGIN_API X11PlugFrame::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    addRef();
    *obj = static_cast<IPlugFrame*>(this);
    return kResultOk;
  }
  if (mOffersRunLoop && FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid)) {
    addRef();
    *obj = static_cast<Linux::IRunLoop*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}
