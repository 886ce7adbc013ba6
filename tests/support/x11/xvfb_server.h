// A private X server for the tests that need a display: Xvfb on a free
// display number, started once per test program and stopped at its end.
// DISPLAY is pointed at it, since a plug-in opens the display a host runs
// on.
#pragma once

#include <string>

namespace x11test {

// Starts the server on first use; "" when none can be started (the reason
// is then in XvfbFailure()).
const std::string& XvfbDisplay();
const std::string& XvfbFailure();

}  // namespace x11test

// In a test body: skips with the reason when no X server can be had.
#define REQUIRE_X_SERVER()                                                                       \
  do {                                                                                           \
    if (::x11test::XvfbDisplay().empty())                                                        \
      GTEST_SKIP() << "no X server could be started: " << ::x11test::XvfbFailure();              \
  } while (0)
