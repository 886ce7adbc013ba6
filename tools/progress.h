// A progress bar on stderr for renders that take longer than a second,
// drawn only when stderr is a terminal.
#pragma once

#include <chrono>

class Progress {
public:
  // enabled false (--quiet) draws nothing at all.
  Progress(bool enabled, long total);
  ~Progress() { Finish(); }
  void Update(long done);
  // Clears the bar's line.
  void Finish();

private:
  bool mEnabled;
  bool mDrawn = false;
  long mTotal;
  int mLastPermille = -1;
  std::chrono::steady_clock::time_point mStart, mLastDraw;
};
