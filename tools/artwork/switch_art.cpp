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
// w and h in layout pixels, k pixels each.
void DrawModeFrame(LICE_IBitmap* bm, int w, int h, int k, int chosen, ArtFont& font) {
  LICE_FillGradientRoundRect(bm, 0, 0, w * k, h * k, h * k / 2.0f, art::kShadow, art::kColumnEdge, 1.0f, kCopy);
  LICE_FillGradientRoundRect(bm, k, k, (w - 2) * k, (h - 2) * k, (h - 2) * k / 2.0f, art::kInset, art::kInset, 1.0f,
                             kCopy);
  const int half = (w - 2) / 2;
  const int litX = chosen == 0 ? 2 : 1 + half;
  LICE_FillGradientRoundRect(bm, litX * k, 2 * k, (half - 1) * k, (h - 4) * k, (h - 4) * k / 2.0f,
                             art::Rgb(0x4c, 0xd6, 0xea), art::Rgb(0x2a, 0x9f, 0xb2), 1.0f, kCopy);
  const int textY = (h * k - font.LineHeight()) / 2;
  for (int i = 0; i < 2; ++i) {
    const int cx = 1 + half / 2 + i * half;
    font.Draw(bm, kDetectorModeNames[i], (cx + 1) * k, textY, i == chosen ? art::Rgb(0x0a, 0x1c, 0x20) : art::kTextDim,
              ArtAlign::kCenter);
  }
}

void DrawBypassFrame(LICE_IBitmap* bm, int w, int h, int k, bool lit, ArtFont& font) {
  const float kf = static_cast<float>(k);
  LICE_FillGradientRoundRect(bm, 0, 0, w * k, h * k, 6 * k, art::kShadow, art::kShadow, 1.0f, kCopy);
  LICE_FillGradientRoundRect(bm, k, k, (w - 2) * k, (h - 2) * k, 5 * k, lit ? art::Rgb(0x4a, 0x2a, 0x2a) : art::Rgb(0x3e, 0x42, 0x49),
                             lit ? art::Rgb(0x2c, 0x18, 0x18) : art::Rgb(0x26, 0x29, 0x2e), 1.0f, kCopy);
  // Lamp at the left, text beside it.
  // Pixel centres at k = 2 sit half a pixel inward of the doubled 1x ones.
  const float inward = (kf - 1.0f) * 0.5f;
  const float lampX = 14 * kf + inward, lampY = (h - 1) / 2.0f * kf + inward;
  if (lit) LICE_FillGradientCircle(bm, lampX, lampY, 7.5f * kf, art::kBypassLit, art::kBypassLit, 0.25f, kCopy);
  LICE_FillGradientCircle(bm, lampX, lampY, 4.5f * kf, art::kShadow, art::kShadow, 1.0f, kCopy);
  LICE_FillGradientCircle(bm, lampX, lampY, 3.5f * kf, lit ? art::Rgb(0xff, 0x8a, 0x80) : art::Rgb(0x3a, 0x1c, 0x1c),
                          lit ? art::kBypassLit : art::Rgb(0x24, 0x12, 0x12), 1.0f, kCopy);
  font.Draw(bm, "BYPASS", (w + 18) / 2 * k, (h * k - font.LineHeight()) / 2, lit ? art::kTextBright : art::kTextDim,
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

std::unique_ptr<LICE_MemBitmap> DrawModeSwitchStrip(int width, int height, int pixelScale) {
  ArtFont font(9 * pixelScale, true);
  return TwoFrames(width * pixelScale, height * pixelScale,
                   [&](LICE_IBitmap* bm, int f) { DrawModeFrame(bm, width, height, pixelScale, f, font); });
}

std::unique_ptr<LICE_MemBitmap> DrawBypassStrip(int width, int height, int pixelScale) {
  ArtFont font(9 * pixelScale, true);
  return TwoFrames(width * pixelScale, height * pixelScale,
                   [&](LICE_IBitmap* bm, int f) { DrawBypassFrame(bm, width, height, pixelScale, f == 1, font); });
}
