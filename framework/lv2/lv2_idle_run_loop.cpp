#include "framework/lv2/lv2_idle_run_loop.h"

bool Lv2IdleRunLoop::Start(int fd, int intervalMs, EditorRunLoopClient* client) {
  Stop();
  if (!client || fd < 0 || intervalMs <= 0) return false;
  mClient = client;
  mInterval = std::chrono::milliseconds(intervalMs);
  mDue = Clock::now() + mInterval;
  return true;
}

void Lv2IdleRunLoop::Stop() { mClient = nullptr; }

void Lv2IdleRunLoop::Idle() {
  // The connection is served on every call, not only when its descriptor
  // is readable: events the window system's library has already read into
  // its queue (while waiting for a reply) leave the descriptor quiet. The
  // client only takes what is there and never waits.
  if (mClient) mClient->OnRunLoopFdReadable();
  if (!mClient) return;
  const Clock::time_point now = Clock::now();
  if (now < mDue) return;
  // Ticks keep their schedule between idle calls that come at another rate
  // (a host idling every 33 ms still sees 25 ticks a second); a host that
  // fell behind by more than a tick gets one, not a burst of the missed ones.
  mDue += mInterval;
  if (mDue <= now) mDue = now + mInterval;
  mClient->OnRunLoopTimer();
}
