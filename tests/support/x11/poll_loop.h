// A host's user-interface loop in miniature: repeating timers and
// file-descriptor handlers, all called from the thread that runs the loop.
#pragma once

#include <chrono>
#include <functional>
#include <vector>

namespace x11test {

class PollLoop {
public:
  using Callback = std::function<void()>;

  // Ids are never reused; 0 is no id.
  int AddTimer(int intervalMs, Callback callback);
  int AddFd(int fd, Callback callback);
  // Unknown ids are ignored. Safe from inside a callback.
  void Remove(int id);
  int NumTimers() const;
  int NumFds() const;

  // Serves timers and descriptors for this long.
  void RunFor(int ms);
  // Serves until done() is true or the time is up; returns done().
  bool RunUntil(const std::function<bool()>& done, int timeoutMs);

private:
  struct Entry {
    int id;
    int fd;  // -1 for a timer
    int intervalMs;
    std::chrono::steady_clock::time_point due;
    Callback callback;
  };
  // One pass: waits at most maxWaitMs.
  void RunOnce(int maxWaitMs);

  std::vector<Entry> mEntries;
  int mNextId = 1;
};

}  // namespace x11test
