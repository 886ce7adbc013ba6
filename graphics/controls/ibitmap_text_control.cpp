#include "graphics/controls/ibitmap_text_control.h"

#include <cstring>

#include "graphics/igraphics.h"

namespace {
// The sheet starts at the space character.
constexpr int kFirstChar = 32;
}  // namespace

IBitmapTextControl::IBitmapTextControl(IPlugBase* plug, IRECT rect, const IBitmap& bitmap, const char* str,
                                       const IText* text, int charWidth, int charHeight, int spacing, bool multiLine,
                                       bool vCenter)
    : IControl(plug, rect),
      mStr(str),
      mBitmap(bitmap),
      mCharWidth(charWidth),
      mCharHeight(charHeight),
      mSpacing(spacing),
      mMultiLine(multiLine),
      mVCentre(vCenter) {
  if (text) mText = *text;
}

IBitmapTextControl::~IBitmapTextControl() = default;

void IBitmapTextControl::SetTextFromPlug(const char* str) {
  if (std::strcmp(mStr.Get(), str ? str : "") == 0) return;
  SetDirty(false);
  mStr.Set(str);
}

int IBitmapTextControl::CharsPerLine() const {
  const int advance = mCharWidth + mSpacing;
  if (mCharWidth <= 0 || advance <= 0 || mRECT.W() < mCharWidth) return 0;
  return (mRECT.W() - mCharWidth) / advance + 1;
}

void IBitmapTextControl::DrawLine(IGraphics* graphics, const char* line, int count, int y) {
  const int advance = mCharWidth + mSpacing;
  const int width = count * mCharWidth + (count - 1) * mSpacing;
  int x = mRECT.L;
  if (mText.mAlign == IText::kAlignFar)
    x = mRECT.R - width;
  else if (mText.mAlign == IText::kAlignCenter)
    x = mRECT.L + (mRECT.W() - width) / 2;
  // Never wider or taller than a frame, so no neighbouring frame shows.
  const int cellW = mCharWidth < mBitmap.FrameWidth() ? mCharWidth : mBitmap.FrameWidth();
  const int cellH = mCharHeight < mBitmap.FrameHeight() ? mCharHeight : mBitmap.FrameHeight();
  for (int i = 0; i < count; ++i, x += advance) {
    const int frame = static_cast<unsigned char>(line[i]) - kFirstChar + 1;
    if (frame < 1 || frame > mBitmap.N) continue;
    IRECT cell(x, y, x + cellW, y + cellH);
    graphics->DrawBitmap(&mBitmap, &cell, frame, &mBlend);
  }
}

bool IBitmapTextControl::Draw(IGraphics* graphics) {
  const char* str = mStr.Get();
  int remaining = mStr.GetLength();
  int perLine = CharsPerLine();
  if (remaining == 0 || mCharWidth <= 0 || mCharHeight <= 0) return true;
  if (mMultiLine && perLine < 1) perLine = 1;
  if (perLine < 1) return true;
  int y = mVCentre ? mRECT.T + (mRECT.H() - mCharHeight) / 2 : mRECT.T;
  do {
    const int count = remaining < perLine ? remaining : perLine;
    DrawLine(graphics, str, count, y);
    str += count;
    remaining -= count;
    y += mCharHeight;
  } while (mMultiLine && remaining > 0 && y < mRECT.B);
  return true;
}
