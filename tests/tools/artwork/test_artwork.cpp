// The editor's images as morvante-artwork draws them: every file decodes,
// has its frames at the layout's sizes, and its frames show what they must.
// Two previews of the whole editor are written into the build tree.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "effect/morvante_layout.h"
#include "framework/iparam.h"
#include "lice/lice_blit.h"
#include "lice/lice_combine.h"
#include "lice/lice_fill.h"
#include "lice/lice_png.h"

namespace {

std::string FileNameOf(const char* resource) {
  const char* slash = std::strrchr(resource, '/');
  return slash ? slash + 1 : resource;
}

bool IsAccent(LICE_pixel p) {  // the value arcs and the lit detector segment
  return LICE_GETA(p) > 200 && LICE_GETB(p) > LICE_GETR(p) + 80 && LICE_GETG(p) > LICE_GETR(p) + 60;
}
bool IsLitReduction(LICE_pixel p) {  // the meter's lit segments
  return LICE_GETA(p) > 200 && LICE_GETR(p) > 150 && LICE_GETR(p) > LICE_GETB(p) + 80;
}
bool IsLamp(LICE_pixel p) {  // the lit bypass lamp
  return LICE_GETA(p) > 200 && LICE_GETR(p) > 200 && LICE_GETG(p) < 140 && LICE_GETB(p) < 140;
}

template <class Pred>
int CountInFrame(LICE_IBitmap* bm, int frame, int w, int h, Pred pred) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (pred(LICE_GetPixel(bm, x, frame * h + y))) ++n;
  return n;
}

bool FramesEqual(LICE_IBitmap* bm, int a, int b, int w, int h) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (LICE_GetPixel(bm, x, a * h + y) != LICE_GetPixel(bm, x, b * h + y)) return false;
  return true;
}

class Artwork : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    char tmpl[] = "/tmp/morvante-artwork-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    sDir = tmpl;
    const std::string cmd = std::string("'") + MORVANTE_ARTWORK + "' '" + sDir + "'";
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    for (int i = 0; i < kNumMorvanteParams; ++i) InitMorvanteParam(i, &sParams[i]);
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    std::filesystem::remove_all(sDir, ec);
    sImages.clear();
  }

  static LICE_IBitmap* Image(const char* resource) {
    auto& slot = sImages[resource];
    if (!slot) slot.reset(LICE_LoadPNG((sDir + "/" + FileNameOf(resource)).c_str()));
    return slot.get();
  }

  // Background with every control at a frame, blended as the editor blends.
  template <class FrameOf>
  static void WritePreview(const char* name, FrameOf frameOf) {
    LICE_IBitmap* bg = Image(kBackgroundImageFile);
    ASSERT_NE(bg, nullptr);
    LICE_MemBitmap view(kEditorWidth, kEditorHeight);
    LICE_Copy(&view, bg);
    for (const MorvanteControlPlace& p : kMorvanteControlPlaces) {
      LICE_IBitmap* strip = Image(p.image.file);
      ASSERT_NE(strip, nullptr) << p.image.file;
      const MorvanteFrameSize s = FrameSizeOf(p);
      LICE_Blit(&view, strip, p.x, p.y, 0, frameOf(p) * s.height, s.width, s.height, 1.0f,
                LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
    }
    EXPECT_TRUE(LICE_WritePNG((std::string(MORVANTE_BINARY_DIR) + "/" + name).c_str(), &view));
  }

  // Runs check(place, image, frame size) for every control of a kind.
  template <class Check>
  static void ForEachControl(EMorvanteControlKind kind, Check check) {
    for (const MorvanteControlPlace& p : kMorvanteControlPlaces) {
      if (p.kind != kind) continue;
      LICE_IBitmap* bm = Image(p.image.file);
      ASSERT_NE(bm, nullptr) << p.image.file;
      check(p, bm, FrameSizeOf(p));
    }
  }

  static int FrameFor(double normalized, int frames) {
    int k = static_cast<int>((frames - 1) * normalized + 0.5);
    return k < 0 ? 0 : (k >= frames ? frames - 1 : k);
  }

  static std::string sDir;
  static IParam sParams[kNumMorvanteParams];
  static std::map<std::string, std::unique_ptr<LICE_IBitmap>> sImages;
};

std::string Artwork::sDir;
IParam Artwork::sParams[kNumMorvanteParams];
std::map<std::string, std::unique_ptr<LICE_IBitmap>> Artwork::sImages;

}  // namespace

TEST_F(Artwork, EveryImageDecodesWithItsFramesAtTheLayoutSize) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(sDir)) {
    (void)entry;
    ++files;
  }
  // Each image once at 1x and once at 2x.
  EXPECT_EQ(files, 2 * (1 + kNumMorvanteControlPlaces));

  LICE_IBitmap* bg = Image(kBackgroundImageFile);
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->getWidth(), kEditorWidth);
  EXPECT_EQ(bg->getHeight(), kEditorHeight);
  for (const MorvanteControlPlace& p : kMorvanteControlPlaces) {
    LICE_IBitmap* bm = Image(p.image.file);
    ASSERT_NE(bm, nullptr) << p.image.file;
    const MorvanteFrameSize s = FrameSizeOf(p);
    EXPECT_EQ(bm->getWidth(), s.width) << p.image.file;
    EXPECT_EQ(bm->getHeight(), s.height * p.image.frames) << p.image.file;
  }
}

// The 2x set is the same picture drawn at twice the size: each image twice
// as wide and high, and averaged over 2 x 2 pixels close to its 1x image
// (a mean difference of a few levels, where a misplaced or missing element
// would cost tens).
TEST_F(Artwork, TheTwiceSizeImagesAreTheSamePictures) {
  std::vector<const char*> resources{kBackgroundImageFile};
  for (const MorvanteControlPlace& p : kMorvanteControlPlaces) resources.push_back(p.image.file);
  for (const char* resource : resources) {
    SCOPED_TRACE(resource);
    std::string name = FileNameOf(resource);
    name.insert(name.rfind('.'), "@2x");
    std::unique_ptr<LICE_IBitmap> twice(LICE_LoadPNG((sDir + "/" + name).c_str()));
    LICE_IBitmap* once = Image(resource);
    ASSERT_TRUE(twice && once);
    ASSERT_EQ(twice->getWidth(), 2 * once->getWidth());
    ASSERT_EQ(twice->getHeight(), 2 * once->getHeight());
    double difference = 0.0;
    for (int y = 0; y < once->getHeight(); ++y)
      for (int x = 0; x < once->getWidth(); ++x) {
        const LICE_pixel p1 = LICE_GetPixel(once, x, y);
        for (int shift : {0, 8, 16, 24}) {
          int sum = 0;
          for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx) sum += (LICE_GetPixel(twice.get(), 2 * x + dx, 2 * y + dy) >> shift) & 255;
          difference += std::abs(sum / 4.0 - ((p1 >> shift) & 255));
        }
      }
    EXPECT_LT(difference / (4.0 * once->getWidth() * once->getHeight()), 6.0);
  }
}

TEST_F(Artwork, BackgroundIsOpaqueAndCarriesTheLabels) {
  LICE_IBitmap* bg = Image(kBackgroundImageFile);
  ASSERT_NE(bg, nullptr);
  for (int y = 0; y < kEditorHeight; ++y)
    for (int x = 0; x < kEditorWidth; ++x) ASSERT_EQ(LICE_GETA(LICE_GetPixel(bg, x, y)), 255u) << x << "," << y;
  auto bright = [](LICE_pixel p) { return LICE_GETR(p) + LICE_GETG(p) + LICE_GETB(p) > 3 * 110; };
  auto textIn = [&](int l, int t, int r, int b) {
    int n = 0;
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x) n += bright(LICE_GetPixel(bg, x, y)) ? 1 : 0;
    return n;
  };
  // The maker's link text lies where the link control is.
  EXPECT_GT(textIn(kLinkLeft, kLinkTop, kLinkRight, kEditorHeight), 20);
  // Every knob has its name on the background within a line of its frame.
  for (const MorvanteControlPlace& p : kMorvanteControlPlaces) {
    if (p.kind != kControlKnob) continue;
    const MorvanteFrameSize s = FrameSizeOf(p);
    const int below = textIn(p.x, p.y + s.height, p.x + s.width, p.y + s.height + 12);
    const int above = textIn(p.x, p.y - 14, p.x + s.width, p.y);
    EXPECT_GT(below + above, 20) << sParams[p.paramIdx].GetNameForHost();
  }
}

TEST_F(Artwork, KnobsAreTransparentRoundAndMoveFromFrameToFrame) {
  ForEachControl(kControlKnob, [](const MorvanteControlPlace& p, LICE_IBitmap* bm, MorvanteFrameSize s) {
    const int last = p.image.frames - 1;
    for (int k = 0; k < last; ++k) EXPECT_FALSE(FramesEqual(bm, k, k + 1, s.width, s.height)) << p.image.file << k;
    for (int k : {0, last}) {
      EXPECT_EQ(LICE_GETA(LICE_GetPixel(bm, 0, k * s.height)), 0u) << p.image.file;
      EXPECT_EQ(LICE_GETA(LICE_GetPixel(bm, s.width - 1, k * s.height + s.height - 1)), 0u) << p.image.file;
      EXPECT_EQ(LICE_GETA(LICE_GetPixel(bm, s.width / 2, k * s.height + s.height / 2)), 255u) << p.image.file;
    }
    // The value arc: empty at the start of a unipolar knob and at the centre
    // of a bipolar one, long at the top of the range.
    const IParam& param = sParams[p.paramIdx];
    const bool bipolar = param.Min() == -param.Max();
    auto accent = [&](int k) { return CountInFrame(bm, k, s.width, s.height, IsAccent); };
    EXPECT_EQ(accent(bipolar ? last / 2 : 0), 0) << p.image.file;
    EXPECT_GT(accent(last), 100) << p.image.file;
    if (bipolar) EXPECT_NEAR(accent(0), accent(last), accent(last) / 10) << p.image.file;
    else EXPECT_GT(2 * accent(last), 3 * accent(last / 2)) << p.image.file;
  });
}

TEST_F(Artwork, MetersRunFromEmptyToFull) {
  ForEachControl(kControlMeter, [](const MorvanteControlPlace& p, LICE_IBitmap* bm, MorvanteFrameSize s) {
    const int last = p.image.frames - 1;
    EXPECT_EQ(CountInFrame(bm, 0, s.width, s.height, IsLitReduction), 0) << p.image.file;
    int previous = 0;
    for (int k = 1; k <= last; ++k) {
      const int lit = CountInFrame(bm, k, s.width, s.height, IsLitReduction);
      EXPECT_GT(lit, previous) << p.image.file << " frame " << k;
      previous = lit;
    }
    // Full: the bar fills the frame but for its rim and the segment gaps.
    EXPECT_GT(previous, s.width * s.height * 2 / 5) << p.image.file;
  });
}

TEST_F(Artwork, SwitchFramesShowTheirStates) {
  ForEachControl(kControlSwitch, [](const MorvanteControlPlace& p, LICE_IBitmap* bm, MorvanteFrameSize s) {
    ASSERT_EQ(p.image.frames, 2);
    EXPECT_FALSE(FramesEqual(bm, 0, 1, s.width, s.height)) << p.image.file;
    if (p.paramIdx == kBypass) {
      EXPECT_EQ(CountInFrame(bm, 0, s.width, s.height, IsLamp), 0);
      EXPECT_GT(CountInFrame(bm, 1, s.width, s.height, IsLamp), 10);
      return;
    }
    // Value 0 lights the left segment, value 1 the right one.
    auto litHalf = [&](int frame, bool right) {
      return CountInFrame(bm, frame, s.width, s.height, [&, x = 0](LICE_pixel px) mutable {
        const bool inRight = (x++ % s.width) >= s.width / 2;
        return inRight == right && IsAccent(px);
      });
    };
    EXPECT_GT(litHalf(0, false), 50) << p.image.file;
    EXPECT_EQ(litHalf(0, true), 0) << p.image.file;
    EXPECT_GT(litHalf(1, true), 50) << p.image.file;
    EXPECT_EQ(litHalf(1, false), 0) << p.image.file;
  });
}

TEST_F(Artwork, PreviewsOfTheWholeEditor) {
  // Default settings: knobs at their defaults, switches off, meters empty.
  WritePreview("artwork-preview-default.png", [](const MorvanteControlPlace& p) {
    if (p.kind != kControlKnob) return 0;
    const IParam& param = sParams[p.paramIdx];
    return FrameFor(param.GetNormalized(param.Default()), p.image.frames);
  });
  // Everything moved: knobs spread over their ranges, switches flipped,
  // meters at different levels.
  int n = 0;
  WritePreview("artwork-preview-moved.png", [&n](const MorvanteControlPlace& p) {
    ++n;
    if (p.kind == kControlSwitch) return 1;
    return (n * 17) % p.image.frames;
  });
}
