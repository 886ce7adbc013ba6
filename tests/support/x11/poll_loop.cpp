#include "tests/support/x11/poll_loop.h"

#include <poll.h>

#include <algorithm>

namespace x11test {

using Clock = std::chrono::steady_clock;

int PollLoop::AddTimer(int intervalMs, Callback callback) {
  const int id = mNextId++;
  mEntries.push_back({id, -1, intervalMs, Clock::now() + std::chrono::milliseconds(intervalMs), std::move(callback)});
  return id;
}

int PollLoop::AddFd(int fd, Callback callback) {
  const int id = mNextId++;
  mEntries.push_back({id, fd, 0, Clock::time_point(), std::move(callback)});
  return id;
}

void PollLoop::Remove(int id) {
  mEntries.erase(std::remove_if(mEntries.begin(), mEntries.end(), [id](const Entry& e) { return e.id == id; }),
                 mEntries.end());
}

int PollLoop::NumTimers() const {
  return static_cast<int>(std::count_if(mEntries.begin(), mEntries.end(), [](const Entry& e) { return e.fd < 0; }));
}

int PollLoop::NumFds() const { return static_cast<int>(mEntries.size()) - NumTimers(); }

void PollLoop::RunOnce(int maxWaitMs) {
  const Clock::time_point now = Clock::now();
  int wait = maxWaitMs;
  std::vector<pollfd> fds;
  std::vector<int> fdIds;
  for (const Entry& e : mEntries) {
    if (e.fd >= 0) {
      fds.push_back({e.fd, POLLIN, 0});
      fdIds.push_back(e.id);
    } else {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(e.due - now).count();
      wait = std::max(0, std::min(wait, static_cast<int>(left)));
    }
  }
  poll(fds.data(), fds.size(), wait);
  // Callbacks may add or remove entries: each is looked up by id first.
  auto call = [this](int id) {
    for (Entry& e : mEntries) {
      if (e.id == id) {
        Callback callback = e.callback;
        callback();
        return;
      }
    }
  };
  for (size_t i = 0; i < fds.size(); ++i)
    if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) call(fdIds[i]);
  std::vector<int> dueTimers;
  const Clock::time_point after = Clock::now();
  for (Entry& e : mEntries) {
    if (e.fd < 0 && e.due <= after) {
      e.due = after + std::chrono::milliseconds(e.intervalMs);
      dueTimers.push_back(e.id);
    }
  }
  for (int id : dueTimers) call(id);
}

void PollLoop::RunFor(int ms) {
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return;
    RunOnce(static_cast<int>(left));
  }
}

bool PollLoop::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) return done();
    RunOnce(static_cast<int>(std::min<long long>(left, 20)));
  }
  return true;
}

}  // namespace x11test
