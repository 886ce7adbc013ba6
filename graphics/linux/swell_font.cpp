#include "graphics/linux/swell_font.h"

#include "graphics/linux/swell_face_cache.h"
#include "graphics/linux/swell_font_match.h"

#include FT_SIZES_H
#include FT_SYNTHESIS_H

#include <cmath>
#include <mutex>
#include <unordered_set>

namespace {

// Em size of a font created with height 0.
const int kDefaultEmPixels = 13;
// Glyph images above this many bytes are rendered per draw, not cached.
const size_t kMaxCachedGlyphBytes = 64 * 1024;

// The fonts made here and not yet freed. Like the face cache, the set
// exists only while it holds fonts, and its lock has nothing to destroy, so
// fonts freed by the module's static destructors find both.
std::mutex gLiveFontsLock;
std::unordered_set<const SWELL_GDIObject*>* gLiveFonts = nullptr;

bool IsLive(const SWELL_GDIObject* font) { return gLiveFonts && gLiveFonts->count(font) != 0; }

void AddLive(const SWELL_GDIObject* font) {
  if (!gLiveFonts) gLiveFonts = new std::unordered_set<const SWELL_GDIObject*>();
  gLiveFonts->insert(font);
}

void RemoveLive(const SWELL_GDIObject* font) {
  if (!gLiveFonts) return;
  gLiveFonts->erase(font);
  if (!gLiveFonts->empty()) return;
  delete gLiveFonts;
  gLiveFonts = nullptr;
}

long long RoundDiv(long long num, long long den) { return (num + den / 2) / den; }

void CopyBitmap(const FT_Bitmap& bitmap, SWELL_GlyphImage* out) {
  out->width = static_cast<int>(bitmap.width);
  out->height = static_cast<int>(bitmap.rows);
  out->coverage.assign(static_cast<size_t>(out->width) * static_cast<size_t>(out->height), 0);
  if (!bitmap.buffer) return;
  for (int y = 0; y < out->height; ++y) {
    const unsigned char* row = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
    uint8_t* dst = out->coverage.data() + static_cast<size_t>(y) * out->width;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
      for (int x = 0; x < out->width; ++x) dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
    } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
      const int grays = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
      for (int x = 0; x < out->width; ++x) dst[x] = static_cast<uint8_t>(row[x] * 255 / grays);
    }
  }
}

}  // namespace

SWELL_GDIObject* SWELL_GDIObject::CreateFont(const SWELL_FontParams& params) {
  int height = params.height == 0 ? -kDefaultEmPixels : params.height;
  if (height < -kMaxPixelHeight || height > kMaxPixelHeight) return nullptr;

  const bool bold = params.weight >= FW_SEMIBOLD;
  SWELL_FontFile file;
  if (!SWELL_FindFontFile(params.faceName, bold, params.italic, &file)) return nullptr;
  SWELL_SharedFace* shared = SWELL_GetSharedFace(file.path, file.index);
  if (!shared) return nullptr;

  auto* font = new SWELL_GDIObject();
  font->mFace = shared;
  font->mAntialias = params.antialias;
  font->mEmbolden = file.embolden;
  font->mOblique = file.oblique;

  bool made = false;
  {
    std::lock_guard<std::mutex> guard(shared->lock);
    FT_Face face = shared->face;
    const long long upem = face->units_per_EM;
    long long asc = face->ascender;
    long long desc = -static_cast<long long>(face->descender);
    if (asc <= 0 || desc < 0 || asc + desc <= 0) {
      asc = upem * 4 / 5;
      desc = upem - asc;
    }

    // A positive height is the cell: pick the em that fills it and give the
    // rounding remainder to the descent, so the line height is exact.
    int em = 0, ascent = 0, descent = 0;
    if (height > 0) {
      em = static_cast<int>(RoundDiv(height * upem, asc + desc));
      if (em < 1) em = 1;
      ascent = static_cast<int>(RoundDiv(asc * em, upem));
      if (ascent > height) ascent = height;
      descent = height - ascent;
    } else {
      em = -height;
      ascent = static_cast<int>((asc * em + upem - 1) / upem);
      descent = static_cast<int>((desc * em + upem - 1) / upem);
    }

    FT_Size size = nullptr;
    if (FT_New_Size(face, &size) == 0) {
      font->mSize = size;
      made = FT_Activate_Size(size) == 0 && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em)) == 0;
    }
    if (made) {
      TEXTMETRIC& tm = font->mMetrics;
      tm.tmHeight = ascent + descent;
      tm.tmAscent = ascent;
      tm.tmDescent = descent;
      tm.tmInternalLeading = tm.tmHeight - em > 0 ? tm.tmHeight - em : 0;
      tm.tmExternalLeading = 0;
      tm.tmMaxCharWidth = static_cast<int>(RoundDiv(face->max_advance_width * static_cast<long long>(em), upem));
      tm.tmWeight = bold ? FW_BOLD : FW_NORMAL;
      tm.tmItalic = params.italic ? 1 : 0;
      tm.tmFirstChar = 0x20;
      tm.tmLastChar = 0x7e;
      tm.tmDefaultChar = '?';
      tm.tmBreakChar = ' ';
      tm.tmPitchAndFamily = file.monospace ? 0 : 1;  // GDI: bit 0 set means variable pitch
      tm.tmDigitizedAspectX = 96;
      tm.tmDigitizedAspectY = 96;

      SWELL_GlyphImage x;
      tm.tmAveCharWidth = font->RenderLocked('x', &x) ? x.advance : em / 2;
    } else {
      delete font;  // frees the size under this same lock
    }
  }
  if (!made) {
    SWELL_ReleaseSharedFace(shared);
    return nullptr;
  }

  std::lock_guard<std::mutex> guard(gLiveFontsLock);
  AddLive(font);
  return font;
}

SWELL_GDIObject* SWELL_GDIObject::DefaultFont() {
  // Kept until the module's static destructors run; callers use it only
  // for the call they are in.
  struct Holder {
    ~Holder() {
      if (font) font->Release();
    }
    std::mutex lock;
    SWELL_GDIObject* font = nullptr;
  };
  static Holder holder;
  std::lock_guard<std::mutex> guard(holder.lock);
  if (!holder.font) {
    SWELL_FontParams params;
    params.height = -kDefaultEmPixels;
    params.faceName = "sans-serif";
    holder.font = CreateFont(params);
  }
  return holder.font;
}

bool SWELL_GDIObject::IsFont(const SWELL_GDIObject* obj) {
  if (!obj) return false;
  std::lock_guard<std::mutex> guard(gLiveFontsLock);
  return IsLive(obj) && !obj->mDeleted;
}

bool SWELL_GDIObject::TakeForDelete(SWELL_GDIObject* obj) {
  if (!obj) return false;
  std::lock_guard<std::mutex> guard(gLiveFontsLock);
  if (!IsLive(obj) || obj->mDeleted) return false;
  obj->mDeleted = true;
  return true;
}

void SWELL_GDIObject::AddRef() { mRefs.fetch_add(1); }

void SWELL_GDIObject::Release() {
  if (mRefs.fetch_sub(1) != 1) return;
  {
    std::lock_guard<std::mutex> guard(gLiveFontsLock);
    RemoveLive(this);
  }
  SWELL_SharedFace* face = mFace;
  {
    std::lock_guard<std::mutex> guard(face->lock);
    delete this;
  }
  SWELL_ReleaseSharedFace(face);
}

SWELL_GDIObject::~SWELL_GDIObject() {
  // The caller holds the face lock.
  if (mSize) FT_Done_Size(mSize);
}

bool SWELL_GDIObject::RenderLocked(uint32_t codepoint, SWELL_GlyphImage* out) {
  FT_Face face = mFace->face;
  if (FT_Activate_Size(mSize) != 0) return false;
  const FT_UInt index = FT_Get_Char_Index(face, codepoint);
  const FT_Int32 loadFlags = FT_LOAD_NO_BITMAP | (mAntialias ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_MONO);
  if (FT_Load_Glyph(face, index, loadFlags) != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (mEmbolden) FT_GlyphSlot_Embolden(slot);
    if (mOblique) FT_GlyphSlot_Oblique(slot);
  }
  if (FT_Render_Glyph(slot, mAntialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return false;
  out->advance = static_cast<int>((slot->advance.x + 32) >> 6);
  out->left = slot->bitmap_left;
  out->top = slot->bitmap_top;
  CopyBitmap(slot->bitmap, out);
  return true;
}

const SWELL_GlyphImage* SWELL_GDIObject::Glyph(uint32_t codepoint, SWELL_GlyphImage* scratch) {
  std::lock_guard<std::mutex> guard(mFace->lock);
  auto found = mGlyphs.find(codepoint);
  if (found != mGlyphs.end()) return &found->second;
  SWELL_GlyphImage image;
  if (!RenderLocked(codepoint, &image)) return nullptr;
  if (image.coverage.size() > kMaxCachedGlyphBytes) {
    if (!scratch) return nullptr;
    *scratch = std::move(image);
    return scratch;
  }
  return &mGlyphs.emplace(codepoint, std::move(image)).first->second;
}

int SWELL_GDIObject::Advance(uint32_t codepoint) {
  SWELL_GlyphImage scratch;
  const SWELL_GlyphImage* glyph = Glyph(codepoint, &scratch);
  return glyph ? glyph->advance : 0;
}
