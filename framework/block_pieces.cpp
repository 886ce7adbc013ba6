#include "framework/block_pieces.h"

#include <algorithm>

void BlockPieces::Begin(int nFrames) {
  mFrames = std::max(nFrames, 0);
  mNChanges = 0;
  mOverflowed = false;
  mNPieces = 1;
  mStarts[0] = 0;
  mFirstChange[0] = 0;
  mFirstChange[1] = 0;
}

bool BlockPieces::Add(int offset, uint32_t tag, double value) {
  if (mNChanges == kCapacity) {
    mOverflowed = true;
    return false;
  }
  const int last = std::max(mFrames - 1, 0);
  mChanges[mNChanges] = {std::min(std::max(offset, 0), last), tag, value, mNChanges};
  ++mNChanges;
  return true;
}

void BlockPieces::Cut() {
  // Hosts list each queue in offset order, the queues one after another: a
  // sort on (offset, order) keeps the host's order at each offset.
  std::sort(mChanges, mChanges + mNChanges, [](const Change& a, const Change& b) {
    return a.offset != b.offset ? a.offset < b.offset : a.order < b.order;
  });
  mNPieces = 1;
  mStarts[0] = 0;
  mFirstChange[0] = 0;
  for (int i = 0; i < mNChanges; ++i) {
    const int offset = mChanges[i].offset;
    // A new piece only where the current one has reached the minimum; a
    // shorter one takes this change from its own start.
    if (offset - mStarts[mNPieces - 1] >= kMinPieceFrames) {
      mFirstChange[mNPieces] = i;
      mStarts[mNPieces++] = offset;
    }
  }
  mFirstChange[mNPieces] = mNChanges;
}

BlockPieces::Piece BlockPieces::GetPiece(int idx) const {
  const int start = mStarts[idx];
  const int end = idx + 1 < mNPieces ? mStarts[idx + 1] : mFrames;
  const int first = mFirstChange[idx];
  return {start, end - start, mChanges + first, mFirstChange[idx + 1] - first};
}
