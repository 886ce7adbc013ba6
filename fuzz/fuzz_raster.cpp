// Runs every raster operation with arguments taken from the input bytes, on
// small bitmaps of odd sizes and row spans, bitmaps blitted onto themselves
// included. Any out-of-range access or undefined behaviour is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "lice/lice.h"

namespace {

class ByteReader {
public:
  ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  bool Empty() const { return m_pos >= m_size; }
  uint32_t U32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
    return v;
  }
  int Int() { return static_cast<int>(U32()); }
  // Mostly small values, now and then anything at all (NaN and inf too).
  float Float() {
    const uint8_t kind = Byte();
    if (kind < 200) return static_cast<float>(static_cast<int8_t>(Byte())) / 4.0f;
    const uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
  }
  int Coord() { return Byte() < 220 ? static_cast<int8_t>(Byte()) : Int(); }
  uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_pos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  LICE_MemBitmap a(in.Byte() % 40, in.Byte() % 40, in.Byte());
  LICE_MemBitmap b(in.Byte() % 40, in.Byte() % 40, in.Byte());
  LICE_Clear(&a, in.U32());
  LICE_Clear(&b, in.U32());
  for (int step = 0; step < 32 && !in.Empty(); ++step) {
    const uint8_t op = in.Byte();
    LICE_IBitmap* dest = (op & 0x80) ? &b : &a;
    LICE_IBitmap* src = (op & 0x40) ? &b : &a;
    const LICE_pixel color = in.U32();
    const float alpha = in.Float();
    const int mode = static_cast<int>(in.U32() & 0x1ffffu);
    switch (op % 16) {
      case 0: {
        RECT r = {in.Coord(), in.Coord(), in.Coord(), in.Coord()};
        LICE_Blit(dest, src, in.Coord(), in.Coord(), (op & 0x20) ? &r : nullptr, alpha, mode);
        break;
      }
      case 1:
        LICE_Blit(dest, src, in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord(), alpha, mode);
        break;
      case 2:
        LICE_ScaledBlit(dest, src, in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Float(), in.Float(), in.Float(),
                        in.Float(), alpha, mode);
        break;
      case 3:
        LICE_RotatedBlit(dest, src, in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Float(), in.Float(), in.Float(),
                         in.Float(), in.Float(), (op & 0x20) != 0, alpha, mode, in.Float(), in.Float());
        break;
      case 4: LICE_FillRect(dest, in.Coord(), in.Coord(), in.Coord(), in.Coord(), color, alpha, mode); break;
      case 5: LICE_PutPixel(dest, in.Coord(), in.Coord(), color, alpha, mode); break;
      case 6: LICE_ClearRect(dest, in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.U32(), in.U32()); break;
      case 7:
        LICE_Line(dest, in.Coord(), in.Coord(), in.Coord(), in.Coord(), color, alpha, mode, (op & 0x20) != 0);
        break;
      case 8:
        LICE_FLine(dest, in.Float(), in.Float(), in.Float(), in.Float(), color, alpha, mode, (op & 0x20) != 0);
        break;
      case 9:
        LICE_Arc(dest, in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), color, alpha, mode,
                 (op & 0x20) != 0);
        break;
      case 10: LICE_Circle(dest, in.Float(), in.Float(), in.Float(), color, alpha, mode, (op & 0x20) != 0); break;
      case 11:
        LICE_FillCircle(dest, in.Float(), in.Float(), in.Float(), color, alpha, mode, (op & 0x20) != 0);
        break;
      case 12:
        LICE_RoundRect(dest, in.Float(), in.Float(), in.Float(), in.Float(), in.Coord(), color, alpha, mode,
                       (op & 0x20) != 0);
        break;
      case 13:
        LICE_FillTriangle(dest, in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord(), color, alpha,
                          mode);
        break;
      case 14: {
        int xs[6], ys[6];
        const int n = in.Byte() % 7;
        for (int i = 0; i < 6; ++i) {
          xs[i] = in.Coord();
          ys[i] = in.Coord();
        }
        LICE_FillConvexPolygon(dest, xs, ys, n, color, alpha, mode);
        break;
      }
      default:
        if (op & 0x20) LICE_Copy(dest, src);
        else dest->resize(in.Byte() % 40, in.Byte() % 40);
        break;
    }
  }
  return 0;
}
