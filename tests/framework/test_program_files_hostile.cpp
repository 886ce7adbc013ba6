// Program and bank files from users' disks: every cut and every damaged
// byte must load or fail cleanly, and a failed load must change nothing.
#include <gtest/gtest.h>

#include <string>

#include "tests/framework/state_test_support.h"

namespace {

struct Variant {
  bool chunks;
  bool bank;
};

const Variant kVariants[] = {{false, false}, {true, false}, {false, true}, {true, true}};

std::string Describe(const Variant& v) {
  return std::string(v.chunks ? "chunk " : "parameter ") + (v.bank ? "bank" : "program");
}

std::vector<uint8_t> ValidFile(const Variant& v, const TempDir& dir) {
  PresetPlug source(7, 3, v.chunks);
  source.Scramble(5);
  source.MakeDefaultPreset("Alpha", 1);
  source.Scramble(6);
  source.MakeDefaultPreset("Beta", 1);
  const std::string path = dir.File("valid");
  const WDL_String name(path.c_str());
  const bool saved = v.bank ? source.SaveBankAsFXB(&name) : source.SaveProgramAsFXP(&name);
  EXPECT_TRUE(saved);
  return ReadFileBytes(path);
}

bool LoadFile(PresetPlug& plug, const Variant& v, const std::string& path) {
  const WDL_String name(path.c_str());
  return v.bank ? plug.LoadBankFromFXB(&name) : plug.LoadProgramFromFXP(&name);
}

TEST(HostileProgramFiles, EveryTruncationLoadsOnlyWhenWhole) {
  for (const Variant& v : kVariants) {
    TempDir dir;
    const std::vector<uint8_t> file = ValidFile(v, dir);
    ASSERT_GT(file.size(), 60u);
    PresetPlug plug(7, 3, v.chunks);
    plug.MakeDefaultPreset("Mine", 2);
    plug.Scramble(33);
    const std::vector<uint8_t> before = Snapshot(plug);
    for (size_t length = 0; length < file.size(); ++length) {
      WriteFileBytes(dir.File("cut"), file, length);
      ASSERT_FALSE(LoadFile(plug, v, dir.File("cut"))) << Describe(v) << " " << length;
      ASSERT_EQ(Snapshot(plug), before) << Describe(v) << " " << length;
    }
    EXPECT_EQ(plug.programChanges, 0);
    WriteFileBytes(dir.File("whole"), file, file.size());
    EXPECT_TRUE(LoadFile(plug, v, dir.File("whole"))) << Describe(v);
  }
}

TEST(HostileProgramFiles, DamagedBytesLoadOrLeaveEverythingAsItWas) {
  for (const Variant& v : kVariants) {
    TempDir dir;
    const std::vector<uint8_t> file = ValidFile(v, dir);
    for (size_t pos = 0; pos < file.size(); ++pos) {
      for (uint8_t pattern : {uint8_t{0xff}, uint8_t{0x80}}) {
        std::vector<uint8_t> damaged = file;
        damaged[pos] ^= pattern;
        WriteFileBytes(dir.File("bad"), damaged, damaged.size());
        PresetPlug plug(7, 3, v.chunks);
        plug.MakeDefaultPreset("Mine", 3);
        plug.Scramble(44);
        const std::vector<uint8_t> before = Snapshot(plug);
        if (!LoadFile(plug, v, dir.File("bad"))) {
          ASSERT_EQ(Snapshot(plug), before) << Describe(v) << " " << pos;
        } else {
          for (int i = 0; i < plug.NParams(); ++i) {
            const IParam* param = plug.GetParam(i);
            ASSERT_TRUE(param->Value() >= param->Min() && param->Value() <= param->Max()) << pos << " " << i;
          }
        }
      }
    }
  }
}

TEST(HostileProgramFiles, HugeCountsAndSizesInHeaders) {
  for (const Variant& v : kVariants) {
    TempDir dir;
    std::vector<uint8_t> file = ValidFile(v, dir);
    PutBE32(&file, 4, 0xfffffff0u);   // byte size: ignored
    PutBE32(&file, 24, 0x7fffffffu);  // parameters or programs
    if (v.chunks) PutBE32(&file, v.bank ? 156 : 56, 0x7fffffffu);  // chunk size: ignored
    WriteFileBytes(dir.File("huge"), file, file.size());
    PresetPlug plug(7, 3, v.chunks);
    plug.MakeDefaultPreset("Mine", 3);
    EXPECT_TRUE(LoadFile(plug, v, dir.File("huge"))) << Describe(v);
    EXPECT_STREQ(plug.GetPresetName(0), "Alpha");
  }
}

TEST(HostileProgramFiles, ChunkBankWithFewerPresetsThanTheInstanceFails) {
  TempDir dir;
  PresetPlug source(7, 2, true);
  source.MakeDefaultPreset("Two", 2);
  const WDL_String path(dir.File("two.fxb").c_str());
  ASSERT_TRUE(source.SaveBankAsFXB(&path));
  PresetPlug plug(7, 3, true);
  plug.MakeDefaultPreset("Mine", 3);
  const std::vector<uint8_t> before = Snapshot(plug);
  EXPECT_FALSE(plug.LoadBankFromFXB(&path));
  EXPECT_EQ(Snapshot(plug), before);
}

}  // namespace
