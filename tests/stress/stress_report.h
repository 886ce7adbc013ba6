// Counters every thread of the stress host adds to, the findings it makes,
// and the progress the watchdog watches.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class StressReport {
public:
  explicit StressReport(uint64_t seed) : mSeed(seed) {}

  // Prints the first findings as they happen, with the seed to replay them.
  void Finding(const std::string& what);
  void Progress() { progress.fetch_add(1, std::memory_order_relaxed); }
  void Print(const char* scenario, double seconds) const;

  std::atomic<long> instances{0};
  std::atomic<long> blocks{0};
  std::atomic<long> automationPoints{0};
  std::atomic<long> stateRoundTrips{0};
  std::atomic<long> editorOpenings{0};
  std::atomic<long> findings{0};
  std::atomic<long> progress{0};

private:
  uint64_t mSeed;
  std::mutex mPrintLock;
};
