// GDI-style drawing layer: memory contexts, fonts and text drawing.
//
// Contexts are pixel buffers in the raster library's format (0xAARRGGBB,
// top row first). Text is drawn with FreeType; faces are found through
// fontconfig. Everything here is for the editor thread, except that fonts
// may be created and deleted on any thread.
#pragma once

#include "graphics/linux/swell_types.h"

// A context over a zeroed buffer of w x h pixels; null if w or h is below 1
// or the memory cannot be had. `reference` is unused.
HDC SWELL_CreateMemContext(HDC reference, int w, int h);
void* SWELL_GetCtxFrameBuffer(HDC ctx);
// Frees the context, its buffer and its hold on the selected font.
void SWELL_DeleteGfxContext(HDC ctx);

// GDI CreateFont. height < 0: the em size in pixels; height > 0: the cell
// height (ascent + descent, the line height); 0: a default size. weight >= 600
// is bold. quality NONANTIALIASED_QUALITY renders on/off pixels only; any
// other value antialiases. Returns null when no face can be loaded or the
// size is beyond what the layer renders.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, int italic,
                 int underline, int strikeout, int charset, int outprec, int clipprec, int quality,
                 int pitchAndFamily, const char* faceName);
// Fonts stay alive while a context still has them selected.
BOOL DeleteObject(HGDIOBJ obj);
// Returns the previously selected object (or null).
HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj);

// Return the previous value.
COLORREF SetTextColor(HDC ctx, COLORREF color);
COLORREF SetBkColor(HDC ctx, COLORREF color);
int SetBkMode(HDC ctx, int mode);

// Metrics of the selected font (a default font when none is selected).
BOOL GetTextMetrics(HDC ctx, TEXTMETRIC* tm);

// Draws UTF-8 text (len < 0: up to the NUL; never past a NUL) inside rect.
// Returns the height of the text; with DT_CALCRECT draws nothing and sets
// rect's right and bottom to the text's extent.
int SWELL_DrawText(HDC ctx, const char* text, int len, RECT* rect, int flags);

// The clip state is a rectangle (or none); Set intersects with the current
// one, Push/Pop save and restore it.
void SWELL_PushClipRegion(HDC ctx);
void SWELL_SetClipRegion(HDC ctx, const RECT* rect);
void SWELL_PopClipRegion(HDC ctx);
