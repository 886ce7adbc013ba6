// Program (fxp) and bank (fxb) files written to and read from real files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "tests/framework/state_test_support.h"

namespace {

float BEFloatAt(const std::vector<uint8_t>& bytes, size_t pos) {
  const uint32_t bits = BE32At(bytes, pos);
  float value;
  std::memcpy(&value, &bits, sizeof(value));
  return value;
}

void PutBEFloat(std::vector<uint8_t>* bytes, size_t pos, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  PutBE32(bytes, pos, bits);
}

bool Save(PresetPlug& plug, const std::string& path, bool bank) {
  const WDL_String name(path.c_str());
  return bank ? plug.SaveBankAsFXB(&name) : plug.SaveProgramAsFXP(&name);
}

bool Load(PresetPlug& plug, const std::string& path, bool bank) {
  const WDL_String name(path.c_str());
  return bank ? plug.LoadBankFromFXB(&name) : plug.LoadProgramFromFXP(&name);
}

TEST(ProgramFiles, ParameterProgramLayoutFor43Parameters) {
  TempDir dir;
  PresetPlug plug(43, 1, false);
  plug.Scramble(3);
  plug.MakeDefaultPreset("Warm Lows", 1);
  ASSERT_TRUE(Save(plug, dir.File("p.fxp"), false));
  const std::vector<uint8_t> file = ReadFileBytes(dir.File("p.fxp"));
  ASSERT_EQ(file.size(), 228u);
  EXPECT_EQ(TagAt(file, 0), "CcnK");
  EXPECT_EQ(BE32At(file, 4), 0u);
  EXPECT_EQ(TagAt(file, 8), "FxCk");
  EXPECT_EQ(BE32At(file, 12), 1u);
  EXPECT_EQ(BE32At(file, 16), 0x4d525631u);
  EXPECT_EQ(std::string(file.begin() + 16, file.begin() + 20), "MRV1");
  EXPECT_EQ(BE32At(file, 20), 20000u);
  EXPECT_EQ(BE32At(file, 24), 43u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[28])), "Warm Lows");
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 37, file.begin() + 56), std::vector<uint8_t>(19, 0));
  for (int i = 0; i < 43; ++i)
    EXPECT_EQ(BEFloatAt(file, 56 + 4 * i), static_cast<float>(plug.GetParam(i)->GetNormalized())) << i;
}

TEST(ProgramFiles, ChunkProgramLayoutWith344BytesOfState) {
  TempDir dir;
  PresetPlug plug(43, 1, true);
  plug.MakeDefaultPreset("-", 1);
  ASSERT_TRUE(Save(plug, dir.File("c.fxp"), false));
  const std::vector<uint8_t> file = ReadFileBytes(dir.File("c.fxp"));
  ASSERT_EQ(file.size(), 412u);
  EXPECT_EQ(BE32At(file, 4), 412u);
  EXPECT_EQ(TagAt(file, 8), "FPCh");
  EXPECT_EQ(BE32At(file, 56), 352u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 60, file.begin() + 68),
            (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
  ByteChunk state;
  plug.SerializeState(&state);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 68, file.end()), BytesOf(state));
}

TEST(ProgramFiles, ParameterBankWithOnePreset) {
  TempDir dir;
  PresetPlug plug(43, 1, false);
  plug.Scramble(8);
  plug.MakeDefaultPreset("Bank One", 1);
  plug.Scramble(9);  // the record holds the stored preset, not these
  ASSERT_TRUE(Save(plug, dir.File("b.fxb"), true));
  const std::vector<uint8_t> file = ReadFileBytes(dir.File("b.fxb"));
  ASSERT_EQ(file.size(), 156u + 56u + 4u * 43u);
  EXPECT_EQ(TagAt(file, 0), "CcnK");
  EXPECT_EQ(BE32At(file, 4), 0u);
  EXPECT_EQ(TagAt(file, 8), "FxBk");
  EXPECT_EQ(BE32At(file, 12), 2u);
  EXPECT_EQ(BE32At(file, 24), 1u);
  EXPECT_EQ(BE32At(file, 28), 0u);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 32, file.begin() + 156), std::vector<uint8_t>(124, 0));
  EXPECT_EQ(TagAt(file, 156), "CcnK");
  EXPECT_EQ(TagAt(file, 164), "FxCk");
  EXPECT_EQ(BE32At(file, 180), 43u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[184])), "Bank One");
  ASSERT_TRUE(plug.RestorePreset(0));
  for (int i = 0; i < 43; ++i)
    EXPECT_EQ(BEFloatAt(file, 212 + 4 * i), static_cast<float>(plug.GetParam(i)->GetNormalized())) << i;
}

TEST(ProgramFiles, UninitialisedPresetRecordsHoldZeroNormalised) {
  TempDir dir;
  PresetPlug plug(5, 2, false);
  plug.MakeDefaultPreset("A", 1);
  ASSERT_TRUE(Save(plug, dir.File("b.fxb"), true));
  const std::vector<uint8_t> file = ReadFileBytes(dir.File("b.fxb"));
  const size_t record = 156 + 56 + 4 * 5;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[record + 28])), "empty");
  EXPECT_EQ(BEFloatAt(file, record + 56), 0.5f);  // 0 dB in -24..24
  EXPECT_EQ(BEFloatAt(file, record + 64), 0.0f);  // 0 below the int range
}

TEST(ProgramFiles, RoundTripsAreByteExact) {
  for (bool chunks : {false, true}) {
    for (bool bank : {false, true}) {
      TempDir dir;
      PresetPlug source(11, 3, chunks);
      source.Scramble(1);
      source.MakeDefaultPreset("One", 1);
      source.Scramble(2);
      source.MakeDefaultPreset("Two", 1);
      ASSERT_TRUE(source.RestorePreset(1));
      ASSERT_TRUE(Save(source, dir.File("a"), bank));

      PresetPlug target(11, 3, chunks);
      target.MakeDefaultPreset("Other", 3);
      target.Scramble(50);
      // Only a parameter bank carries the current program; a chunk bank
      // keeps the instance's own.
      ASSERT_TRUE(target.RestorePreset(bank && !chunks ? 0 : 1));
      ASSERT_TRUE(Load(target, dir.File("a"), bank)) << chunks << bank;
      EXPECT_EQ(target.programChanges, 1);
      ASSERT_TRUE(Save(target, dir.File("b"), bank));
      EXPECT_EQ(ReadFileBytes(dir.File("b")), ReadFileBytes(dir.File("a"))) << chunks << bank;
      EXPECT_EQ(target.GetCurrentPresetIdx(), 1);
    }
  }
}

TEST(ProgramFiles, ProgramLoadTakesTheNameUnlessEmpty) {
  TempDir dir;
  PresetPlug plug(4, 1, false);
  plug.MakeDefaultPreset("Mine", 1);
  ASSERT_TRUE(Save(plug, dir.File("p.fxp"), false));
  std::vector<uint8_t> file = ReadFileBytes(dir.File("p.fxp"));
  std::fill(file.begin() + 28, file.begin() + 56, 0);
  WriteFileBytes(dir.File("noname.fxp"), file, file.size());
  std::fill(file.begin() + 28, file.begin() + 56, 'z');  // no terminating NUL
  WriteFileBytes(dir.File("long.fxp"), file, file.size());

  ASSERT_TRUE(Load(plug, dir.File("noname.fxp"), false));
  EXPECT_STREQ(plug.GetPresetName(0), "Mine");
  ASSERT_TRUE(Load(plug, dir.File("long.fxp"), false));
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(27, 'z'));
}

TEST(ProgramFiles, LongPresetNamesAreCutTo27AndTerminated) {
  TempDir dir;
  PresetPlug plug(1, 1, false);
  plug.MakeDefaultPreset(std::string(40, 'L').c_str(), 1);
  ASSERT_TRUE(Save(plug, dir.File("p.fxp"), false));
  const std::vector<uint8_t> file = ReadFileBytes(dir.File("p.fxp"));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[28])), std::string(27, 'L'));
  EXPECT_EQ(file[55], 0);
}

TEST(ProgramFiles, ProgramLoadAppliesValuesAndNotifiesOnce) {
  TempDir dir;
  PresetPlug source(10, 1, false);
  source.Scramble(6);
  source.MakeDefaultPreset("Src", 1);
  ASSERT_TRUE(Save(source, dir.File("p.fxp"), false));
  PresetPlug plug(10, 1, false);
  plug.MakeDefaultPreset("Dst", 1);
  ASSERT_TRUE(Load(plug, dir.File("p.fxp"), false));
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(plug.GetParam(i)->Value(), source.GetParam(i)->Value(), 1e-4) << i;
  EXPECT_EQ(plug.paramChanges, 10);
  EXPECT_STREQ(plug.GetPresetName(0), "Src");
  ByteChunk state, stored;
  plug.SerializeState(&state);
  plug.SerializePresets(&stored);
  EXPECT_EQ(std::memcmp(stored.GetBytes() + 4 + 3 + 1, state.GetBytes(), 80), 0);
}

TEST(ProgramFiles, ChunkWithoutVersionTagIsReadFromItsFirstByte) {
  TempDir dir;
  PresetPlug source(3, 1, true);
  source.Scramble(4);
  source.MakeDefaultPreset("T", 1);
  ASSERT_TRUE(Save(source, dir.File("p.fxp"), false));
  std::vector<uint8_t> file = ReadFileBytes(dir.File("p.fxp"));
  file.erase(file.begin() + 60, file.begin() + 68);
  PutBE32(&file, 56, 24);
  WriteFileBytes(dir.File("untagged.fxp"), file, file.size());

  PresetPlug plug(3, 1, true);
  plug.MakeDefaultPreset("-", 1);
  ASSERT_TRUE(Load(plug, dir.File("untagged.fxp"), false));
  EXPECT_EQ(plug.Values(), source.Values());
}

TEST(ProgramFiles, MismatchedFieldsAreRejectedAndChangeNothing) {
  TempDir dir;
  PresetPlug source(6, 2, false);
  source.MakeDefaultPreset("S", 2);
  ASSERT_TRUE(Save(source, dir.File("p.fxp"), false));
  ASSERT_TRUE(Save(source, dir.File("b.fxb"), true));
  const std::vector<uint8_t> program = ReadFileBytes(dir.File("p.fxp"));
  const std::vector<uint8_t> bank = ReadFileBytes(dir.File("b.fxb"));
  ASSERT_EQ(bank.size(), 156u + 2u * (56u + 4u * 6u));  // second record at 236

  PresetPlug plug(6, 2, false);
  plug.MakeDefaultPreset("Mine", 2);
  plug.Scramble(21);
  const std::vector<uint8_t> before = Snapshot(plug);
  struct Damage {
    bool bank;
    size_t pos;
    uint8_t value;
  };
  const Damage damages[] = {
      {false, 19, '2'},   // plug-in ID one byte off
      {false, 0, 'c'},    // chunk tag
      {false, 15, 2},     // format version
      {false, 11, 'X'},   // format tag
      {true, 19, '2'},    // bank plug-in ID
      {true, 3, 'k'},     // bank chunk tag
      {true, 11, 'X'},    // bank format tag
      {true, 236, 'x'},      // second record's chunk tag
      {true, 236 + 27, 7},   // second record's parameter count
      {true, 236 + 11, 'Q'},  // second record's format tag
      {true, 236 + 15, 2},   // second record's format version
  };
  for (const Damage& damage : damages) {
    std::vector<uint8_t> file = damage.bank ? bank : program;
    file.at(damage.pos) = damage.value;
    WriteFileBytes(dir.File("bad"), file, file.size());
    EXPECT_FALSE(Load(plug, dir.File("bad"), damage.bank)) << damage.pos;
    EXPECT_EQ(Snapshot(plug), before) << damage.pos;
  }
  EXPECT_EQ(plug.programChanges, 0);
}

TEST(ProgramFiles, ChunkVariantsNeedAnInstanceWithChunks) {
  TempDir dir;
  PresetPlug chunky(3, 1, true);
  chunky.MakeDefaultPreset("C", 1);
  ASSERT_TRUE(Save(chunky, dir.File("c.fxp"), false));
  ASSERT_TRUE(Save(chunky, dir.File("c.fxb"), true));
  PresetPlug plain(3, 1, false);
  plain.MakeDefaultPreset("P", 1);
  EXPECT_FALSE(Load(plain, dir.File("c.fxp"), false));
  EXPECT_FALSE(Load(plain, dir.File("c.fxb"), true));
  // The parameter variant is read by either kind of instance.
  ASSERT_TRUE(Save(plain, dir.File("p.fxp"), false));
  EXPECT_TRUE(Load(chunky, dir.File("p.fxp"), false));
}

TEST(ProgramFiles, StoredFloatsAreHeldToTheNormalisedRange) {
  TempDir dir;
  PresetPlug plug(5, 1, false);
  plug.MakeDefaultPreset("N", 1);
  ASSERT_TRUE(Save(plug, dir.File("p.fxp"), false));
  std::vector<uint8_t> file = ReadFileBytes(dir.File("p.fxp"));
  PutBEFloat(&file, 56, std::numeric_limits<float>::quiet_NaN());
  PutBEFloat(&file, 60, std::numeric_limits<float>::infinity());
  PutBEFloat(&file, 64, -3.0f);
  PutBEFloat(&file, 68, 7.0f);
  PutBEFloat(&file, 72, -std::numeric_limits<float>::infinity());
  WriteFileBytes(dir.File("odd.fxp"), file, file.size());
  plug.GetParam(0)->Set(12.0);
  ASSERT_TRUE(Load(plug, dir.File("odd.fxp"), false));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);  // the default
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(3)->Value(), 3.0);
  EXPECT_EQ(plug.GetParam(4)->Value(), 0.0);
}

TEST(ProgramFiles, BankNamingMoreProgramsThanPresetsFillsThePresetsItHas) {
  TempDir dir;
  PresetPlug source(4, 3, false);
  for (int i = 0; i < 3; ++i) {
    source.Scramble(i);
    source.MakeDefaultPreset(("P" + std::to_string(i)).c_str(), 1);
  }
  ASSERT_TRUE(Save(source, dir.File("big.fxb"), true));
  PresetPlug plug(4, 2, false);
  plug.MakeDefaultPreset("Mine", 2);
  ASSERT_TRUE(Load(plug, dir.File("big.fxb"), true));
  EXPECT_STREQ(plug.GetPresetName(0), "P0");
  EXPECT_STREQ(plug.GetPresetName(1), "P1");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  ASSERT_TRUE(source.RestorePreset(1));
  ASSERT_TRUE(plug.RestorePreset(1));
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(plug.GetParam(i)->Value(), source.GetParam(i)->Value(), 1e-4);

  // A bank naming no programs only restores its current program.
  std::vector<uint8_t> file = ReadFileBytes(dir.File("big.fxb"));
  PutBE32(&file, 24, 0x80000000u);
  PutBE32(&file, 28, 1);
  WriteFileBytes(dir.File("none.fxb"), file, file.size());
  ASSERT_TRUE(Load(plug, dir.File("none.fxb"), true));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_STREQ(plug.GetPresetName(0), "P0");
}

TEST(ProgramFiles, ChunkLoadWhoseStateRunsShortKeepsEverything) {
  TempDir dir;
  PresetPlug plug(8, 2, true);
  plug.MakeDefaultPreset("Keep", 2);
  ASSERT_TRUE(Save(plug, dir.File("p.fxp"), false));
  std::vector<uint8_t> file = ReadFileBytes(dir.File("p.fxp"));
  file.resize(file.size() - 3);
  WriteFileBytes(dir.File("short.fxp"), file, file.size());
  plug.Scramble(13);
  const std::vector<uint8_t> before = Snapshot(plug);
  EXPECT_FALSE(Load(plug, dir.File("short.fxp"), false));
  EXPECT_EQ(Snapshot(plug), before);
}

TEST(ProgramFiles, PathsThatCannotBeUsed) {
  TempDir dir;
  PresetPlug plug(2, 1, false);
  plug.MakeDefaultPreset("X", 1);
  const WDL_String empty("");
  EXPECT_FALSE(plug.SaveProgramAsFXP(&empty));
  EXPECT_FALSE(plug.SaveBankAsFXB(&empty));
  EXPECT_FALSE(plug.LoadProgramFromFXP(&empty));
  EXPECT_FALSE(plug.LoadBankFromFXB(&empty));
  EXPECT_FALSE(plug.LoadProgramFromFXP(nullptr));
  EXPECT_FALSE(Save(plug, dir.File("no/such/dir.fxp"), false));
  EXPECT_FALSE(Load(plug, dir.File("missing.fxp"), false));
  EXPECT_FALSE(Load(plug, dir.File(""), true));  // a directory
}

TEST(ProgramFiles, FilesAboveTheSizeLimitAreRefusedUnread) {
  TempDir dir;
  PresetPlug plug(2, 1, false);
  plug.MakeDefaultPreset("X", 1);
  ASSERT_TRUE(Save(plug, dir.File("p.fxp"), false));
  const std::vector<uint8_t> file = ReadFileBytes(dir.File("p.fxp"));
  // A valid program followed by a sparse tail past the limit.
  WriteFileBytes(dir.File("huge.fxp"), file, file.size());
  ASSERT_EQ(truncate(dir.File("huge.fxp").c_str(), MAX_PROGRAM_FILE_SIZE + 1), 0);
  EXPECT_FALSE(Load(plug, dir.File("huge.fxp"), false));
  ASSERT_EQ(truncate(dir.File("huge.fxp").c_str(), MAX_PROGRAM_FILE_SIZE), 0);
  EXPECT_TRUE(Load(plug, dir.File("huge.fxp"), false));
}

}  // namespace
