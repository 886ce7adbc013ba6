#include "tools/artwork/switch_art.h"

#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice/lice_soft_shapes.h"
#include "tools/artwork/art_palette.h"
#include "tools/artwork/art_text.h"

namespace {

constexpr int kCopy = LICE_BLIT_MODE_COPY;

// A two-segment selector: the chosen segment lit, the other dark.
void DrawModeFrame(LICE_IBitmap* bm, int w, int h, int chosen, ArtFont& font) {
  LICE_FillGradientRoundRect(bm, 0, 0, w, h, h / 2.0f, art::kShadow, art::kColumnEdge, 1.0f, kCopy);
  LICE_FillGradientRoundRect(bm, 1, 1, w - 2, h - 2, (h - 2) / 2.0f, art::kInset, art::kInset, 1.0f, kCopy);
  const int half = (w - 2) / 2;
  const int litX = chosen == 0 ? 2 : 1 + half;
  LICE_FillGradientRoundRect(bm, litX, 2, half - 1, h - 4, (h - 4) / 2.0f, art::Rgb(0x4c, 0xd6, 0xea),
                             art::Rgb(0x2a, 0x9f, 0xb2), 1.0f, kCopy);
  const int textY = (h - font.LineHeight()) / 2;
  for (int i = 0; i < 2; ++i) {
    const int cx = 1 + half / 2 + i * half;
    font.Draw(bm, kDetectorModeNames[i], cx + 1, textY, i == chosen ? art::Rgb(0x0a, 0x1c, 0x20) : art::kTextDim,
              ArtAlign::kCenter);
  }
}

void DrawBypassFrame(LICE_IBitmap* bm, int w, int h, bool lit, ArtFont& font) {
  LICE_FillGradientRoundRect(bm, 0, 0, w, h, 6, art::kShadow, art::kShadow, 1.0f, kCopy);
  LICE_FillGradientRoundRect(bm, 1, 1, w - 2, h - 2, 5, lit ? art::Rgb(0x4a, 0x2a, 0x2a) : art::Rgb(0x3e, 0x42, 0x49),
                             lit ? art::Rgb(0x2c, 0x18, 0x18) : art::Rgb(0x26, 0x29, 0x2e), 1.0f, kCopy);
  // Lamp at the left, text beside it.
  const float lampX = 14, lampY = (h - 1) / 2.0f;
  if (lit) LICE_FillGradientCircle(bm, lampX, lampY, 7.5f, art::kBypassLit, art::kBypassLit, 0.25f, kCopy);
  LICE_FillGradientCircle(bm, lampX, lampY, 4.5f, art::kShadow, art::kShadow, 1.0f, kCopy);
  LICE_FillGradientCircle(bm, lampX, lampY, 3.5f, lit ? art::Rgb(0xff, 0x8a, 0x80) : art::Rgb(0x3a, 0x1c, 0x1c),
                          lit ? art::kBypassLit : art::Rgb(0x24, 0x12, 0x12), 1.0f, kCopy);
  font.Draw(bm, "BYPASS", (w + 18) / 2, (h - font.LineHeight()) / 2, lit ? art::kTextBright : art::kTextDim,
            ArtAlign::kCenter);
}

template <class DrawFrame>
std::unique_ptr<LICE_MemBitmap> TwoFrames(int w, int h, DrawFrame draw) {
  auto strip = std::make_unique<LICE_MemBitmap>(w, 2 * h);
  LICE_Clear(strip.get(), 0);
  LICE_MemBitmap frame(w, h);
  for (int k = 0; k < 2; ++k) {
    LICE_Clear(&frame, 0);
    draw(&frame, k);
    LICE_DemultiplyAlpha(&frame);
    LICE_Blit(strip.get(), &frame, 0, k * h, nullptr, 1.0f, kCopy);
  }
  return strip;
}

}  // namespace

std::unique_ptr<LICE_MemBitmap> DrawModeSwitchStrip(int width, int height) {
  ArtFont font(9, true);
  return TwoFrames(width, height, [&](LICE_IBitmap* bm, int k) { DrawModeFrame(bm, width, height, k, font); });
}

std::unique_ptr<LICE_MemBitmap> DrawBypassStrip(int width, int height) {
  ArtFont font(9, true);
  return TwoFrames(width, height, [&](LICE_IBitmap* bm, int k) { DrawBypassFrame(bm, width, height, k == 1, font); });
}
