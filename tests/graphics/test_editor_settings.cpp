// The per-user settings file: where it lives, what survives a round trip,
// and every way the file can be wrong without keeping an editor from opening
// at its size.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "graphics/editor_scale.h"
#include "graphics/editor_settings.h"
#include "graphics/igraphics_headless.h"
#include "tests/graphics/graphics_test_support.h"

namespace {

// The folder of GraphicsTestPlug, named after its effect.
constexpr const char* kFolder = "Effect";

class EditorSettingsTest : public ::testing::Test {
protected:
  void SetUp() override {
    char folderTemplate[] = "/tmp/morvante_settings_XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    mRoot = folderTemplate;
    setenv("XDG_CONFIG_HOME", mRoot.c_str(), 1);
  }
  void TearDown() override {
    chmod(Folder().c_str(), 0755);
    std::remove(File().c_str());
    rmdir(Folder().c_str());
    rmdir(mRoot.c_str());
  }
  std::string Folder() const { return mRoot + "/" + kFolder; }
  std::string File() const { return Folder() + "/editor.conf"; }
  void WriteFile(const std::string& text) {
    mkdir(Folder().c_str(), 0755);
    std::ofstream(File(), std::ios::binary) << text;
  }
  std::string ReadFile() const {
    std::ifstream in(File(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // The scale a new editor opens at, with nothing else to go by.
  int NewEditorsScale() {
    GraphicsTestPlug plug;
    IGraphicsHeadless gui(&plug, 100, 50);
    return gui.ScalePercent();
  }

  std::string mRoot;
};

TEST_F(EditorSettingsTest, ThePathFollowsXdgConfigHomeElseHome) {
  EXPECT_EQ(EditorSettings(kFolder).Path(), File());
  const char* home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  // A relative folder is not a configuration home.
  setenv("XDG_CONFIG_HOME", "relative/config", 1);
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(EditorSettings(kFolder).Path(), "/home/someone/.config/Effect/editor.conf");
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  EXPECT_EQ(EditorSettings(kFolder).Path(), "");
  EXPECT_FALSE(EditorSettings(kFolder).Save());
  setenv("HOME", savedHome.c_str(), 1);
}

// What the editor writes it reads back; keys it does not know (a later
// version's) are kept; no temporary file is left beside it.
TEST_F(EditorSettingsTest, APickIsRememberedWithTheOtherSettingsAndNothingElseLeftBehind) {
  WriteFile("# by hand\ndisplay-strip = open\nscale=100\n");
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 100, 50);
  gui.ChooseScalePercent(175);
  EXPECT_EQ(gui.ScalePercent(), 175);
  const std::string text = ReadFile();
  EXPECT_NE(text.find("scale=175\n"), std::string::npos) << text;
  EXPECT_NE(text.find("display-strip=open\n"), std::string::npos) << text;
  EXPECT_EQ(NewEditorsScale(), 175);
  EXPECT_EQ(system(("test $(ls -A " + Folder() + " | wc -l) -eq 1").c_str()), 0);
}

// Garbage, nonsense values, a folder in the file's place, an unreadable
// file, a file too long to be ours: no setting, 100 %, nothing thrown.
TEST_F(EditorSettingsTest, DamagedOrUnreadableFilesReadAsNoSettings) {
  for (const std::string& text :
       {std::string("scale=abc\n"), std::string("scale=150x\n"), std::string("scale=-150\n"),
        std::string("scale=99999999999999999999\n"), std::string("scale=\n"), std::string("\x01\xff\x00garbage", 10),
        std::string("scale"), std::string(100000, 'x')}) {
    WriteFile(text);
    EditorSettings settings("MORVANTE");
    settings.Load();
    EXPECT_EQ(settings.ScalePercent(), 0) << text.substr(0, 20);
    EXPECT_EQ(NewEditorsScale(), 100);
  }
  // An odd but sane value: the nearest step.
  WriteFile("scale = 160\r\n");
  EXPECT_EQ(NewEditorsScale(), 150);

  WriteFile("scale=200\n");
  chmod(File().c_str(), 0);
  if (access(File().c_str(), R_OK) != 0) {  // root reads anything
    EXPECT_FALSE(EditorSettings(kFolder).Load());
    EXPECT_EQ(NewEditorsScale(), 100);
  }
  std::remove(File().c_str());
  mkdir(File().c_str(), 0755);  // a folder where the file belongs
  EXPECT_EQ(NewEditorsScale(), 100);
  rmdir(File().c_str());
}

// A folder that cannot be written (read-only, or a file where the folder
// belongs, which holds even for root): the pick still applies to the open
// editor, nothing else changes.
TEST_F(EditorSettingsTest, AnUnwritableFolderCostsOnlyTheMemory) {
  WriteFile("scale=125\n");
  chmod(Folder().c_str(), 0555);
  {
    GraphicsTestPlug plug;
    IGraphicsHeadless gui(&plug, 100, 50);
    EXPECT_EQ(gui.ScalePercent(), 125);
    gui.ChooseScalePercent(200);
    EXPECT_EQ(gui.ViewWidth(), 200);
    if (access(Folder().c_str(), W_OK) != 0) {
      EXPECT_EQ(ReadFile(), "scale=125\n");
    }
  }
  chmod(Folder().c_str(), 0755);
  std::remove(File().c_str());
  rmdir(Folder().c_str());
  std::ofstream(Folder()) << "not a folder";
  GraphicsTestPlug plug;
  IGraphicsHeadless gui(&plug, 100, 50);
  gui.ChooseScalePercent(150);
  EXPECT_EQ(gui.ScalePercent(), 150);
  EXPECT_FALSE(EditorSettings(kFolder).Save());
  std::remove(Folder().c_str());
}

}  // namespace
