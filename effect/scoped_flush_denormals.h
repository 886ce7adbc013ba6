// Subnormal numbers are flushed to zero while the processing runs: on many
// processors every operation on one costs a hundred times a normal one, and
// the decay of a filter after a loud passage is made of them. The caller's
// control word comes back when the scope ends. Tests run the per-sample
// oracle under it too, to compare a decay into silence bit for bit.
//
// Writing the control word stalls the floating-point pipeline, which at
// blocks of one sample is a large part of the block; reading it is cheap.
// So a caller that runs with flushing on already (as many hosts' audio
// threads do) costs no write on the way in, and none on the way out while
// the processing raised no new status flag.
#pragma once

#include <xmmintrin.h>

class ScopedFlushDenormals {
public:
  ScopedFlushDenormals() : mSaved(_mm_getcsr()) {
    if (!Flushing(mSaved)) _mm_setcsr(mSaved | kFlushToZero | kDenormalsAreZero);
  }
  // The status flags the processing raised (an invalid operation, say) are
  // the caller's business too: the word is written back whenever it moved.
  ~ScopedFlushDenormals() {
    if (_mm_getcsr() != mSaved) _mm_setcsr(mSaved);
  }
  ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
  ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

private:
  static constexpr unsigned kFlushToZero = 0x8000;
  static constexpr unsigned kDenormalsAreZero = 0x0040;
  static bool Flushing(unsigned csr) { return (csr & (kFlushToZero | kDenormalsAreZero)) == (kFlushToZero | kDenormalsAreZero); }
  unsigned mSaved;
};
