// The offline tool's host, opened once per fuzzer on the built bundle as
// morvante-process opens it, for the fuzzers of the tool's file readers.
#pragma once

#include <cstdlib>

#include "tools/offline_host.h"

namespace hostfuzz {

inline void Require(bool condition) {
  if (!condition) __builtin_trap();
}

inline OfflineHost& Host() {
  static OfflineHost* host = [] {
    auto* opened = new OfflineHost();
    Require(opened->Open(MORVANTE_VST3_SO));
    return opened;
  }();
  return *host;
}

}  // namespace hostfuzz
