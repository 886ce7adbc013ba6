// Cuts one audio block at the sample offsets of its parameter changes, so
// that a binding can run the processing frame piece by piece with each
// change in force from its own sample. Format-neutral: a binding adds the
// changes its host delivered as (offset, tag, value), in the host's order,
// and then runs the pieces.
//
// Rule: a piece starts at every distinct offset, and a piece shorter than
// kMinPieceFrames merges into the next one (its changes and the next
// piece's take effect from its start, the later value winning). Only the
// block's last piece may be shorter. Offsets outside the block are held to
// its first and last sample.
//
// Fixed capacity, so that nothing allocates on the audio thread: Add
// refuses changes beyond kCapacity, and the binding applies those (in
// order, after the stored ones) at the start of the last piece.
#pragma once

#include <cstdint>

class BlockPieces {
public:
  static constexpr int kMinPieceFrames = 16;
  static constexpr int kCapacity = 1024;

  struct Change {
    int offset;
    uint32_t tag;
    double value;
    int order;  // place in the host's delivery, for changes at one offset
  };
  struct Piece {
    int start;
    int frames;
    // The changes to apply before the piece's first sample, in order.
    const Change* changes;
    int nChanges;
  };

  // Starts a block of nFrames samples (0 for a parameter flush).
  void Begin(int nFrames);
  // False once kCapacity changes are held: this and every later change of
  // the block is the caller's to apply at the last piece.
  bool Add(int offset, uint32_t tag, double value);
  // Sorts the changes and cuts the block; call once after the last Add.
  void Cut();

  // At least one piece, also for an empty block.
  int NPieces() const { return mNPieces; }
  Piece GetPiece(int idx) const;
  bool Overflowed() const { return mOverflowed; }

private:
  int mFrames = 0;
  int mNChanges = 0;
  bool mOverflowed = false;
  Change mChanges[kCapacity] = {};
  // Piece p starts at mStarts[p] and applies the changes from
  // mFirstChange[p] up to mFirstChange[p + 1].
  int mNPieces = 1;
  int mStarts[kCapacity + 1] = {};
  int mFirstChange[kCapacity + 2] = {};
};
