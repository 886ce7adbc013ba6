#include "framework/vst3/vst3_run_loop.h"

#include <atomic>

using namespace Steinberg;

// The object the host calls back: a timer handler and an event handler in
// one, forwarding to the client until it is cut off.
class Vst3RunLoop::Handler final : public Linux::ITimerHandler, public Linux::IEventHandler {
public:
  explicit Handler(EditorRunLoopClient* client) : mClient(client) {}
  void CutOff() { mClient = nullptr; }

  void PLUGIN_API onTimer() override {
    if (mClient) mClient->OnRunLoopTimer();
  }
  void PLUGIN_API onFDIsSet(Linux::FileDescriptor) override {
    if (mClient) mClient->OnRunLoopFdReadable();
  }

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (FUnknownPrivate::iidEqual(iid, Linux::ITimerHandler::iid) || FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
      addRef();
      *obj = static_cast<Linux::ITimerHandler*>(this);
      return kResultOk;
    }
    if (FUnknownPrivate::iidEqual(iid, Linux::IEventHandler::iid)) {
      addRef();
      *obj = static_cast<Linux::IEventHandler*>(this);
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++mRefs; }
  uint32 PLUGIN_API release() override {
    const uint32 left = --mRefs;
    if (left == 0) delete this;
    return left;
  }

private:
  ~Handler() = default;
  // Only the UI thread calls, but the host may count references anywhere.
  std::atomic<uint32> mRefs{1};
  EditorRunLoopClient* mClient;
};

std::unique_ptr<Vst3RunLoop> Vst3RunLoop::FromFrame(IPlugFrame* frame) {
  if (!frame) return nullptr;
  Linux::IRunLoop* loop = nullptr;
  if (frame->queryInterface(Linux::IRunLoop::iid, reinterpret_cast<void**>(&loop)) != kResultOk || !loop)
    return nullptr;
  // queryInterface gave us a reference of our own.
  return std::unique_ptr<Vst3RunLoop>(new Vst3RunLoop(owned(loop)));
}

Vst3RunLoop::Vst3RunLoop(IPtr<Linux::IRunLoop> loop) : mLoop(std::move(loop)) {}

Vst3RunLoop::~Vst3RunLoop() { Stop(); }

bool Vst3RunLoop::Start(int fd, int intervalMs, EditorRunLoopClient* client) {
  Stop();
  if (!client || fd < 0 || intervalMs <= 0) return false;
  mHandler = new Handler(client);
  mFdRegistered = mLoop->registerEventHandler(static_cast<Linux::IEventHandler*>(mHandler), fd) == kResultOk;
  mTimerRegistered = mFdRegistered && mLoop->registerTimer(static_cast<Linux::ITimerHandler*>(mHandler),
                                                           static_cast<Linux::TimerInterval>(intervalMs)) == kResultOk;
  if (mTimerRegistered) return true;
  Stop();
  return false;
}

void Vst3RunLoop::Stop() {
  if (!mHandler) return;
  if (mTimerRegistered) mLoop->unregisterTimer(static_cast<Linux::ITimerHandler*>(mHandler));
  if (mFdRegistered) mLoop->unregisterEventHandler(static_cast<Linux::IEventHandler*>(mHandler));
  mTimerRegistered = false;
  mFdRegistered = false;
  mHandler->CutOff();
  mHandler->release();
  mHandler = nullptr;
}
