#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

#include "graphics/linux/igraphics_linux.h"
#include "graphics/png_resource.h"
#include "lice/lice_bitmap.h"
#include "lice/lice_png.h"
#include "lice/lice_resource.h"
#include "tests/graphics/graphics_test_support.h"

namespace {

// A resources folder holding one 3 x 5 PNG named "KNOB.png".
class LinuxEngineImages : public ::testing::Test {
protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "linux_engine_XXXXXX";
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    folder = pattern;
    LICE_MemBitmap image(3, 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 3; ++x) image.getBits()[y * image.getRowSpan() + x] = 0xFF102030u;
    ASSERT_TRUE(LICE_WritePNG((folder + "/KNOB.png").c_str(), &image));
    LICE_SetResourceFolder(folder.c_str());
  }
  void TearDown() override { LICE_SetResourceFolder(nullptr); }

  std::string folder;
  GraphicsTestPlug plug;
};

}  // namespace

TEST(PNGResourceFileName, LastComponentWithAPNGExtensionInAnyCase) {
  EXPECT_EQ(PNGResourceFileName("resources/img/BG.png"), "BG.png");
  EXPECT_EQ(PNGResourceFileName("resources/img/BG.PNG"), "BG.png");
  EXPECT_EQ(PNGResourceFileName("HATK.PnG"), "HATK.png");
  EXPECT_EQ(PNGResourceFileName("a.b/c.d.png"), "c.d.png");
  EXPECT_EQ(PNGResourceFileName("resources/img/BG.jpg"), "");
  EXPECT_EQ(PNGResourceFileName("resources/img/BG"), "");
  EXPECT_EQ(PNGResourceFileName("resources/img/.png"), "");
  EXPECT_EQ(PNGResourceFileName("img.png/"), "");
  EXPECT_EQ(PNGResourceFileName(""), "");
  EXPECT_EQ(PNGResourceFileName(nullptr), "");
}

TEST_F(LinuxEngineImages, LoadsPNGsFromTheResourcesByTheirLastPathComponent) {
  IGraphicsLinux gui(&plug, 64, 64);
  for (const char* name : {"resources/img/KNOB.png", "KNOB.PNG", "other/folder/KNOB.Png"}) {
    LICE_IBitmap* bitmap = gui.OSLoadBitmap(0, name);
    ASSERT_NE(bitmap, nullptr) << name;
    EXPECT_EQ(bitmap->getWidth(), 3);
    EXPECT_EQ(bitmap->getHeight(), 5);
    EXPECT_EQ(bitmap->getBits()[0], 0xFF102030u);
    delete bitmap;
  }
  EXPECT_EQ(gui.OSLoadBitmap(0, "resources/img/KNOB.jpg"), nullptr);
  EXPECT_EQ(gui.OSLoadBitmap(0, "resources/img/KNOB"), nullptr);
  EXPECT_EQ(gui.OSLoadBitmap(0, "resources/img/MISSING.png"), nullptr);
  EXPECT_EQ(gui.OSLoadBitmap(0, nullptr), nullptr);
}

TEST_F(LinuxEngineImages, TheFactoryMakesTheBundlesEngine) {
  std::unique_ptr<IGraphicsLinux> gui = MakeLinuxGraphics(&plug, 1220, 590, 0);
  ASSERT_NE(gui, nullptr);
  EXPECT_STREQ(gui->GetBundleID(), "com.Penvarrowsonics.vst3.MORVANTE");
  EXPECT_EQ(gui->Width(), 1220);
  EXPECT_EQ(gui->Height(), 590);
  EXPECT_EQ(gui->FPS(), 25);
  IBitmap knob = gui->LoadIBitmap(7101, "resources/img/KNOB.png");
  ASSERT_NE(knob.mData, nullptr);
  EXPECT_EQ(knob.W, 3);
  EXPECT_EQ(knob.H, 5);
}

TEST_F(LinuxEngineImages, WithoutAWindowDrawingGoesToTheDrawBitmapOnly) {
  IGraphicsLinux gui(&plug, 16, 16);
  RecordingControl* control = new RecordingControl(&plug, IRECT(0, 0, 16, 16));
  gui.AttachControl(control);
  gui.PrepDraw();
  IRECT all(0, 0, 16, 16);
  // Drawn, but with no window nothing is presented.
  EXPECT_FALSE(gui.Draw(&all));
  EXPECT_EQ(control->draws, 1);
  EXPECT_FALSE(gui.WindowIsOpen());
  EXPECT_EQ(gui.OpenWindow(nullptr), nullptr);
  EXPECT_EQ(gui.CreateIPopupMenu(nullptr, &all), nullptr);
  WDL_String text("x");
  EXPECT_FALSE(gui.GetTextFromClipboard(&text));
  EXPECT_STREQ(text.Get(), "");
}

TEST_F(LinuxEngineImages, URLsGoToTheOpenerAndAreRefusedWithoutOne) {
  IGraphicsLinux gui(&plug, 16, 16);
  EXPECT_FALSE(gui.OpenURL("https://example.com/"));
  std::vector<std::string> opened;
  gui.SetURLOpener([&](const char* url) {
    opened.emplace_back(url);
    return true;
  });
  EXPECT_TRUE(gui.OpenURL("https://example.com/a"));
  EXPECT_FALSE(gui.OpenURL(""));
  EXPECT_FALSE(gui.OpenURL(nullptr));
  EXPECT_EQ(opened, std::vector<std::string>{"https://example.com/a"});
}
