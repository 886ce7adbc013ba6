// The bank state: every preset's name, flag and state in one chunk.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/framework/state_test_support.h"

namespace {

// Three presets: two made, one left uninitialised; preset 1 current.
void MakeThree(PresetPlug* plug) {
  plug->Scramble(1);
  plug->MakeDefaultPreset("First", 1);
  plug->Scramble(2);
  plug->MakeDefaultPreset("Second", 1);
  ASSERT_TRUE(plug->RestorePreset(1));
}

TEST(BankState, LayoutIsNameFlagAndStatePerPreset) {
  PresetPlug plug(2, 3, true);
  MakeThree(&plug);
  ByteChunk bank;
  ASSERT_TRUE(plug.SerializePresets(&bank));
  ASSERT_EQ(bank.Size(), (4 + 5 + 1 + 16) + (4 + 6 + 1 + 16) + (4 + 5 + 1));
  const uint8_t* b = bank.GetBytes();
  EXPECT_EQ(std::vector<uint8_t>(b, b + 10), (std::vector<uint8_t>{5, 0, 0, 0, 'F', 'i', 'r', 's', 't', 1}));
  EXPECT_EQ(std::vector<uint8_t>(b + 53, b + 63),
            (std::vector<uint8_t>{5, 0, 0, 0, 'e', 'm', 'p', 't', 'y', 0}));
  double second0;
  std::memcpy(&second0, b + 26 + 11, 8);
  EXPECT_EQ(second0, plug.GetParam(0)->Value());
}

TEST(BankState, RoundTripIsByteExact) {
  PresetPlug source(7, 3, true);
  MakeThree(&source);
  ByteChunk bank;
  ASSERT_TRUE(source.SerializePresets(&bank));
  bank.Append(uint8_t{0x5a});  // trailing bytes are not the bank's

  PresetPlug target(7, 3, true);
  target.MakeDefaultPreset("Old", 3);
  ASSERT_TRUE(target.RestorePreset(1));
  EXPECT_EQ(target.UnserializePresets(&bank, 0), bank.Size() - 1);
  ByteChunk again;
  ASSERT_TRUE(target.SerializePresets(&again));
  again.Append(uint8_t{0x5a});
  EXPECT_EQ(BytesOf(again), BytesOf(bank));
  // The load ends by restoring the current preset.
  EXPECT_EQ(target.Values(), source.Values());
}

TEST(BankState, NonZeroFlagReadsAsInitialisedAndStateIsRewritten) {
  PresetPlug plug(1, 1, true);
  ByteChunk bank;
  bank.AppendStr("Hot");
  bank.Append(uint8_t{7});
  bank.Append(99.0);  // above the range: stored as restored
  ASSERT_EQ(plug.UnserializePresets(&bank, 0), bank.Size());
  ByteChunk again;
  plug.SerializePresets(&again);
  double stored;
  std::memcpy(&stored, again.GetBytes() + 8, 8);
  EXPECT_EQ(again.GetBytes()[7], 1);
  EXPECT_EQ(stored, 24.0);
}

TEST(BankState, FewerEntriesThanPresetsChangesNothing) {
  PresetPlug source(4, 2, true);
  source.MakeDefaultPreset("Only", 2);
  ByteChunk bank;
  source.SerializePresets(&bank);

  PresetPlug target(4, 3, true);
  MakeThree(&target);
  target.Scramble(40);
  const std::vector<uint8_t> before = Snapshot(target);
  EXPECT_EQ(target.UnserializePresets(&bank, 0), -1);
  EXPECT_EQ(Snapshot(target), before);
}

TEST(BankState, EveryTruncationFailsWithoutAChange) {
  PresetPlug source(4, 3, true);
  MakeThree(&source);
  ByteChunk bank;
  source.SerializePresets(&bank);
  const std::vector<uint8_t> full = BytesOf(bank);

  PresetPlug target(4, 3, true);
  target.MakeDefaultPreset("Mine", 3);
  target.Scramble(77);
  const std::vector<uint8_t> before = Snapshot(target);
  for (size_t length = 0; length < full.size(); ++length) {
    ByteChunk cut;
    SetBytes(&cut, std::vector<uint8_t>(full.begin(), full.begin() + static_cast<long>(length)));
    ASSERT_EQ(target.UnserializePresets(&cut, 0), -1) << length;
    ASSERT_EQ(Snapshot(target), before) << length;
  }
}

TEST(BankState, HostileNameLengthsAndPositions) {
  PresetPlug plug(2, 1, true);
  plug.MakeDefaultPreset("Mine", 1);
  const std::vector<uint8_t> before = Snapshot(plug);
  for (int32_t length : {-1, -8, 0x7fffffff, 0x7ffffffc, 1 << 30}) {
    ByteChunk bank;
    bank.Append(length);
    bank.Append(uint8_t{0});
    EXPECT_EQ(plug.UnserializePresets(&bank, 0), -1) << length;
    EXPECT_EQ(plug.UnserializePresets(&bank, 0x7ffffffe), -1);
  }
  ByteChunk empty;
  EXPECT_EQ(plug.UnserializePresets(&empty, -1), -1);
  EXPECT_EQ(plug.UnserializePresets(nullptr, 0), -1);
  EXPECT_EQ(Snapshot(plug), before);
}

TEST(BankState, LongNamesAreCutTo255) {
  PresetPlug plug(1, 1, true);
  ByteChunk bank;
  bank.AppendStr(std::string(400, 'n').c_str());
  bank.Append(uint8_t{1});
  bank.Append(0.0);
  ASSERT_GT(plug.UnserializePresets(&bank, 0), 0);
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(255, 'n'));
}

}  // namespace
