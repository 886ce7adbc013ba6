// Command line of the stress host. Every random choice follows from the seed,
// so a run that finds a fault can be repeated with the seed it printed.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

struct StressOptions {
  std::string plugin;        // the bundle's shared object
  std::string scenario = "all";
  uint64_t seed = 1;
  double seconds = 3.0;      // per scenario
  int threads = 4;           // host threads that each drive instances
  double hangSeconds = 60.0; // no progress for this long aborts the run
};

// Fills *options from argv; prints usage and returns false on bad input.
bool ParseStressOptions(int argc, char** argv, StressOptions* options);

// Whether a scenario's loop goes on: until the scenario's end, but for at
// least `minimum` rounds, so that a busy machine leaves no path untried.
inline bool KeepGoing(int& round, int minimum, std::chrono::steady_clock::time_point end) {
  return round++ < minimum || std::chrono::steady_clock::now() < end;
}
