#include "graphics/linux/swell_gdi.h"

#include "graphics/linux/swell_context.h"
#include "graphics/linux/swell_font.h"

#include <cstdlib>
#include <new>

namespace {

// Keeps one buffer under 2 GB, the most a row offset in int can reach.
const long long kMaxContextPixels = 0x7fffffffLL / 4;

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r;
  r.left = a.left > b.left ? a.left : b.left;
  r.top = a.top > b.top ? a.top : b.top;
  r.right = a.right < b.right ? a.right : b.right;
  r.bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

}  // namespace

RECT SWELL_GDP_CTX::DrawableArea() const {
  RECT bounds = {0, 0, width, height};
  return clip.active ? Intersect(bounds, clip.rect) : bounds;
}

HDC SWELL_CreateMemContext(HDC reference, int w, int h) {
  (void)reference;
  if (w < 1 || h < 1 || static_cast<long long>(w) * h > kMaxContextPixels) return nullptr;
  auto* pixels = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(w) * static_cast<size_t>(h), 4));
  if (!pixels) return nullptr;
  auto* ctx = new (std::nothrow) SWELL_GDP_CTX();
  if (!ctx) {
    std::free(pixels);
    return nullptr;
  }
  ctx->pixels = pixels;
  ctx->width = w;
  ctx->height = h;
  return ctx;
}

void* SWELL_GetCtxFrameBuffer(HDC ctx) { return ctx ? ctx->pixels : nullptr; }

void SWELL_DeleteGfxContext(HDC ctx) {
  if (!ctx) return;
  if (ctx->font) ctx->font->Release();
  std::free(ctx->pixels);
  delete ctx;
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, int italic,
                 int underline, int strikeout, int charset, int outprec, int clipprec, int quality,
                 int pitchAndFamily, const char* faceName) {
  // Width, rotation, decorations and the matching hints are not supported;
  // the editor passes neutral values for all of them.
  (void)width, (void)escapement, (void)orientation, (void)underline, (void)strikeout;
  (void)charset, (void)outprec, (void)clipprec, (void)pitchAndFamily;
  SWELL_FontParams params;
  params.height = height;
  params.weight = weight;
  params.italic = italic != 0;
  params.antialias = quality != NONANTIALIASED_QUALITY;
  params.faceName = faceName;
  return SWELL_GDIObject::CreateFont(params);
}

BOOL DeleteObject(HGDIOBJ obj) {
  if (!SWELL_GDIObject::TakeForDelete(obj)) return 0;
  obj->Release();
  return 1;
}

HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj) {
  if (!ctx || !SWELL_GDIObject::IsFont(obj)) return nullptr;
  HGDIOBJ previous = ctx->font;
  obj->AddRef();
  ctx->font = obj;
  if (!previous) return nullptr;
  // A font deleted while selected was only kept alive by this context; it
  // goes now and its handle must not be handed back.
  const bool stillUsable = SWELL_GDIObject::IsFont(previous);
  previous->Release();
  return stillUsable ? previous : nullptr;
}

COLORREF SetTextColor(HDC ctx, COLORREF color) {
  if (!ctx) return 0;
  const COLORREF previous = ctx->textColor;
  ctx->textColor = color & 0xffffffu;
  return previous;
}

COLORREF SetBkColor(HDC ctx, COLORREF color) {
  if (!ctx) return 0;
  const COLORREF previous = ctx->bkColor;
  ctx->bkColor = color & 0xffffffu;
  return previous;
}

int SetBkMode(HDC ctx, int mode) {
  if (!ctx) return 0;
  const int previous = ctx->bkMode;
  ctx->bkMode = mode == OPAQUE ? OPAQUE : TRANSPARENT;
  return previous;
}

BOOL GetTextMetrics(HDC ctx, TEXTMETRIC* tm) {
  if (!tm) return 0;
  HFONT font = ctx && ctx->font ? ctx->font : SWELL_GDIObject::DefaultFont();
  if (!font) return 0;
  *tm = font->Metrics();
  return 1;
}

void SWELL_PushClipRegion(HDC ctx) {
  if (ctx) ctx->savedClips.push_back(ctx->clip);
}

void SWELL_SetClipRegion(HDC ctx, const RECT* rect) {
  if (!ctx || !rect) return;
  RECT r = *rect;
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  ctx->clip.rect = ctx->clip.active ? Intersect(ctx->clip.rect, r) : r;
  ctx->clip.active = true;
}

void SWELL_PopClipRegion(HDC ctx) {
  if (!ctx || ctx->savedClips.empty()) return;
  ctx->clip = ctx->savedClips.back();
  ctx->savedClips.pop_back();
}
