// The editor's run loop in an LV2 user interface. The host calls the UI's
// idle interface from its own loop on its UI thread; each call serves what a
// run loop would: the window connection's pending events, and the editor's
// timer once its interval has passed. Nothing waits and no thread is
// started.
#pragma once

#include <chrono>

#include "graphics/editor_run_loop.h"

class Lv2IdleRunLoop final : public EditorRunLoop {
public:
  Lv2IdleRunLoop() = default;
  ~Lv2IdleRunLoop() override { Stop(); }
  Lv2IdleRunLoop(const Lv2IdleRunLoop&) = delete;
  Lv2IdleRunLoop& operator=(const Lv2IdleRunLoop&) = delete;

  bool Start(int fd, int intervalMs, EditorRunLoopClient* client) override;
  void Stop() override;
  bool IsStarted() const { return mClient != nullptr; }

  // One idle call of the host. The client may stop the loop from inside it
  // (its window went away); nothing is called after that.
  void Idle();

private:
  using Clock = std::chrono::steady_clock;

  EditorRunLoopClient* mClient = nullptr;
  Clock::duration mInterval{};
  Clock::time_point mDue{};
};
