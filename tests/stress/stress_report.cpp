#include "tests/stress/stress_report.h"

#include <cstdio>

namespace {
constexpr long kPrintedFindings = 20;
}

void StressReport::Finding(const std::string& what) {
  const long n = findings.fetch_add(1) + 1;
  if (n > kPrintedFindings) return;
  std::lock_guard<std::mutex> guard(mPrintLock);
  std::fprintf(stderr, "stress finding (seed %llu): %s\n", static_cast<unsigned long long>(mSeed), what.c_str());
}

void StressReport::Print(const char* scenario, double seconds) const {
  std::printf(
      "stress summary: scenario %s, seed %llu, %.1f s: instances %ld, blocks %ld, automation points %ld, "
      "state round trips %ld, editor openings %ld, findings %ld\n",
      scenario, static_cast<unsigned long long>(mSeed), seconds, instances.load(), blocks.load(),
      automationPoints.load(), stateRoundTrips.load(), editorOpenings.load(), findings.load());
  std::fflush(stdout);
}
