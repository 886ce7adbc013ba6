#include "lice/lice_png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "lice/lice_resource.h"

namespace {

// libpng reports through these and then long-jumps back to the setjmp in
// RunDecode / RunEncode; nothing is printed.
void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

struct MemoryReader {
  const unsigned char* data;
  size_t size;
  size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
  MemoryReader* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (n > r->size - r->pos) png_error(png, "unexpected end of data");
  std::memcpy(out, r->data + r->pos, n);
  r->pos += n;
}

void ReadFromFile(png_structp png, png_bytep out, png_size_t n) {
  if (std::fread(out, 1, n, static_cast<FILE*>(png_get_io_ptr(png))) != n) png_error(png, "unexpected end of file");
}

// What the decoder made, kept outside the frame that may be jumped out of so
// that the caller can free it whatever happened.
struct DecodeJob {
  LICE_IBitmap* target = nullptr;
  LICE_MemBitmap* created = nullptr;
  png_bytep* rows = nullptr;
};

// Everything that can long-jump runs in here. Its frame holds no object with
// a destructor and nothing is read from it after a jump.
bool RunDecode(png_structp png, png_infop info, DecodeJob* job) {
  if (setjmp(png_jmpbuf(png))) return false;

  png_set_user_limits(png, LICE_PNG_MAX_SIDE, LICE_PNG_MAX_SIDE);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // Mutated inputs almost never carry valid checksums; without this the
  // fuzzer would not get past the first chunk.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
  if (width == 0 || height == 0 || static_cast<long long>(width) * height > LICE_PNG_MAX_PIXELS) return false;

  const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  const bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || hasTrns;
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTrns) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (hasAlpha) png_set_swap_alpha(png);
  else png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) return false;

  if (!job->target) {
    job->created = new (std::nothrow) LICE_MemBitmap(0, 0, 4);
    job->target = job->created;
    if (!job->target) return false;
  }
  LICE_IBitmap* bm = job->target;
  bm->resize(static_cast<int>(width), static_cast<int>(height));
  LICE_pixel* bits = bm->getBits();
  const int span = bm->getRowSpan();
  if (!bits || bm->getWidth() != static_cast<int>(width) || bm->getHeight() != static_cast<int>(height) ||
      span < static_cast<int>(width))
    return false;

  job->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!job->rows) return false;
  for (png_uint_32 y = 0; y < height; ++y) job->rows[y] = reinterpret_cast<png_bytep>(bits + static_cast<size_t>(y) * span);
  png_read_image(png, job->rows);

  // Decoded bytes are alpha, red, green, blue; rewrite them as pixel words.
  for (png_uint_32 y = 0; y < height; ++y) {
    LICE_pixel* row = bits + static_cast<size_t>(y) * span;
    const unsigned char* bytes = job->rows[y];
    for (png_uint_32 x = 0; x < width; ++x) {
      const unsigned char* px = bytes + 4 * x;
      row[x] = LICE_RGBA(px[1], px[2], px[3], px[0]);
    }
  }
  return true;
}

LICE_IBitmap* Decode(png_rw_ptr reader, void* source, LICE_IBitmap* bmp) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  png_set_read_fn(png, source, reader);
  DecodeJob job;
  job.target = bmp;
  const bool ok = RunDecode(png, info, &job);
  png_destroy_read_struct(&png, &info, nullptr);
  std::free(job.rows);
  if (!ok) {
    delete job.created;
    return nullptr;
  }
  return job.target;
}

bool RunEncode(png_structp png, png_infop info, FILE* file, LICE_IBitmap* bmp, png_bytep row) {
  if (setjmp(png_jmpbuf(png))) return false;
  const int w = bmp->getWidth(), h = bmp->getHeight(), span = bmp->getRowSpan();
  const LICE_pixel* bits = bmp->getBits();
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    const LICE_pixel* src = bits + static_cast<size_t>(y) * span;
    for (int x = 0; x < w; ++x) {
      row[4 * x] = static_cast<png_byte>(LICE_GETR(src[x]));
      row[4 * x + 1] = static_cast<png_byte>(LICE_GETG(src[x]));
      row[4 * x + 2] = static_cast<png_byte>(LICE_GETB(src[x]));
      row[4 * x + 3] = static_cast<png_byte>(LICE_GETA(src[x]));
    }
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp) {
  if (!filename) return nullptr;
  FILE* file = std::fopen(filename, "rb");
  if (!file) return nullptr;
  LICE_IBitmap* result = Decode(ReadFromFile, file, bmp);
  std::fclose(file);
  return result;
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp) {
  if (!data || len < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return nullptr;
  MemoryReader reader{static_cast<const unsigned char*>(data), static_cast<size_t>(len), 0};
  return Decode(ReadFromMemory, &reader, bmp);
}

LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp) {
  const std::string path = LICE_ResourcePath(name);
  if (path.empty()) return nullptr;
  return LICE_LoadPNG(path.c_str(), bmp);
}

bool LICE_WritePNG(const char* filename, LICE_IBitmap* bmp) {
  if (!filename || !bmp) return false;
  const int w = bmp->getWidth(), h = bmp->getHeight();
  if (!bmp->getBits() || w <= 0 || h <= 0 || bmp->getRowSpan() < w) return false;

  png_bytep row = static_cast<png_bytep>(std::malloc(static_cast<size_t>(w) * 4));
  if (!row) return false;
  FILE* file = std::fopen(filename, "wb");
  if (!file) {
    std::free(row);
    return false;
  }
  bool ok = false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (png && info) ok = RunEncode(png, info, file, bmp, row);
  if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  std::free(row);
  if (std::fclose(file) != 0) ok = false;
  // A half-written file must not pass for an image.
  if (!ok) std::remove(filename);
  return ok;
}
