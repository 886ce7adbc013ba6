#include "tests/stress/stress_options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
void Usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s [--plugin PATH] [--scenario lifecycle|audio|roundtrip|editor|all] [--seed N] [--seconds S]\n"
               "          [--threads N] [--hang-seconds S]\n",
               program);
}

bool ParseNumber(const char* text, double* out) {
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (!end || *end || !(value > 0.0)) return false;
  *out = value;
  return true;
}
}  // namespace

bool ParseStressOptions(int argc, char** argv, StressOptions* options) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!value) {
      Usage(argv[0]);
      return false;
    }
    double number = 0.0;
    bool ok = true;
    if (!std::strcmp(arg, "--plugin")) {
      options->plugin = value;
    } else if (!std::strcmp(arg, "--scenario")) {
      options->scenario = value;
    } else if (!std::strcmp(arg, "--seed")) {
      char* end = nullptr;
      options->seed = std::strtoull(value, &end, 0);
      ok = end && !*end;
    } else if (!std::strcmp(arg, "--seconds")) {
      ok = ParseNumber(value, &options->seconds);
    } else if (!std::strcmp(arg, "--threads")) {
      ok = ParseNumber(value, &number) && number <= 64;
      options->threads = static_cast<int>(number);
    } else if (!std::strcmp(arg, "--hang-seconds")) {
      ok = ParseNumber(value, &options->hangSeconds);
    } else {
      ok = false;
    }
    if (!ok || options->threads < 1) {
      Usage(argv[0]);
      return false;
    }
    ++i;
  }
  return true;
}
