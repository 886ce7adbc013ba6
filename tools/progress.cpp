#include "tools/progress.h"

#include <unistd.h>

#include <cstdio>

Progress::Progress(bool enabled, long total)
    : mEnabled(enabled && isatty(STDERR_FILENO)), mTotal(total > 0 ? total : 1),
      mStart(std::chrono::steady_clock::now()), mLastDraw(mStart) {}

void Progress::Update(long done) {
  if (!mEnabled) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - mStart < std::chrono::seconds(1) || now - mLastDraw < std::chrono::milliseconds(100)) return;
  const int permille = static_cast<int>(1000 * done / mTotal);
  if (permille == mLastPermille) return;
  mLastPermille = permille;
  mLastDraw = now;
  constexpr int kWidth = 40;
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i) bar[i] = i < permille * kWidth / 1000 ? '#' : '.';
  bar[kWidth] = '\0';
  const double elapsed = std::chrono::duration<double>(now - mStart).count();
  const double left = done > 0 ? elapsed * static_cast<double>(mTotal - done) / static_cast<double>(done) : 0.0;
  std::fprintf(stderr, "\rrendering [%s] %3d%%  %.0f s left ", bar, permille / 10, left);
  std::fflush(stderr);
  mDrawn = true;
}

void Progress::Finish() {
  if (!mDrawn) return;
  std::fprintf(stderr, "\r%*s\r", 70, "");
  std::fflush(stderr);
  mDrawn = false;
}
