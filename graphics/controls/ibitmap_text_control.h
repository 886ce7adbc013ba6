// Text drawn from a character-sheet image: frame 1 is the space character
// and each later frame the next ASCII code.
#pragma once

#include "framework/wdl_string.h"
#include "graphics/icontrol.h"

class IBitmapTextControl : public IControl {
public:
  // charWidth x charHeight is the cell each character is drawn in; spacing
  // is added between cells. The style's alignment places each line.
  IBitmapTextControl(IPlugBase* plug, IRECT rect, const IBitmap& bitmap, const char* str = "",
                     const IText* text = nullptr, int charWidth = 6, int charHeight = 12, int spacing = 0,
                     bool multiLine = false, bool vCenter = true);
  ~IBitmapTextControl() override;

  // An equal text changes nothing, so nothing is redrawn.
  void SetTextFromPlug(const char* str);
  void ClearTextFromPlug() { SetTextFromPlug(""); }
  const char* GetTextForPlug() const { return mStr.Get(); }

  // Without multi-line only the characters that fit the width are drawn;
  // with it, the text wraps onto further lines while they start inside the
  // rectangle. Characters the sheet has no frame for leave a blank cell.
  bool Draw(IGraphics* graphics) override;

  // How many cells fit across the rectangle.
  int CharsPerLine() const;

private:
  void DrawLine(IGraphics* graphics, const char* line, int count, int y);

  WDL_String mStr;
  IBitmap mBitmap;
  int mCharWidth;
  int mCharHeight;
  int mSpacing;
  bool mMultiLine;
  bool mVCentre;
};
