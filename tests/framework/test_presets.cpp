// Making, restoring, naming and dumping presets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "framework/base64.h"
#include "tests/framework/state_test_support.h"

namespace {

std::vector<uint8_t> CurrentState(PresetPlug& plug) {
  ByteChunk chunk;
  plug.SerializeState(&chunk);
  return BytesOf(chunk);
}

double DoubleAt(const ByteChunk& chunk, int idx) {
  double value = -1.0;
  chunk.ReadAt(&value, 8 * idx);
  return value;
}

// The preset list is private; read a preset back through the bank layout.
struct PresetView {
  std::string name;
  bool initialized;
  std::vector<uint8_t> chunk;
};

PresetView ViewPreset(PresetPlug& plug, int idx) {
  ByteChunk bank;
  plug.SerializePresets(&bank);
  PresetView view{};
  int pos = 0;
  for (int i = 0; i <= idx; ++i) {
    WDL_String name;
    pos = bank.ReadStrAt(&name, pos);
    view.name = name.Get();
    view.initialized = bank.GetBytes()[pos++] != 0;
    view.chunk.clear();
    if (view.initialized) {
      const int stateSize = 8 * plug.NParams();
      view.chunk.assign(bank.GetBytes() + pos, bank.GetBytes() + pos + stateSize);
      pos += stateSize;
    }
  }
  return view;
}

TEST(ParamState, FullAndCutStatesOf43Parameters) {
  PresetPlug source(43, 1, false);
  source.Scramble(2);
  ByteChunk state;
  ASSERT_TRUE(source.SerializeState(&state));
  ASSERT_EQ(state.Size(), 344);

  PresetPlug whole(43, 1, false);
  EXPECT_EQ(whole.UnserializeState(&state, 0), 344);
  EXPECT_EQ(whole.Values(), source.Values());

  PresetPlug cut(43, 1, false);
  cut.Scramble(9);
  state.Resize(340);
  EXPECT_EQ(cut.UnserializeState(&state, 0), -1);
  for (int i = 0; i < 42; ++i) EXPECT_EQ(cut.GetParam(i)->Value(), source.GetParam(i)->Value()) << i;
  EXPECT_EQ(cut.GetParam(42)->Value(), 1.0);  // 0 clamped into 1..10
  EXPECT_EQ(cut.paramChanges, 43);
}

TEST(ParamState, NegativeStartReadsNothingAndFails) {
  PresetPlug plug(4, 1, false);
  plug.Scramble(3);
  const std::vector<double> before = plug.Values();
  ByteChunk state;
  plug.SerializeState(&state);
  for (int start : {-1, -5, -0x7fffffff}) EXPECT_EQ(plug.UnserializeParams(&state, start), -1);
  EXPECT_EQ(plug.Values(), before);
  PresetPlug none(0, 1, false);
  EXPECT_EQ(none.UnserializeParams(&state, -3), -1);
}

TEST(Presets, DefaultPresetWithNullNameIsEmptyAndHoldsTheState) {
  PresetPlug plug(6, 3, false);
  plug.Scramble(4);
  plug.MakeDefaultPreset(nullptr, 2);
  EXPECT_EQ(ViewPreset(plug, 0).name, "Empty");
  EXPECT_EQ(ViewPreset(plug, 0).chunk, CurrentState(plug));
  EXPECT_TRUE(ViewPreset(plug, 1).initialized);
  EXPECT_FALSE(ViewPreset(plug, 2).initialized);
  EXPECT_EQ(ViewPreset(plug, 2).name, "empty");

  plug.MakeDefaultPreset("-", 5);  // only one slot left
  EXPECT_EQ(ViewPreset(plug, 2).name, "-");
  plug.MakeDefaultPreset("late", 1);
  EXPECT_EQ(ViewPreset(plug, 2).name, "-");
}

TEST(Presets, MakePresetReadsIntsForDiscreteKindsAndDoublesOtherwise) {
  PresetPlug plug(5, 1, false);
  plug.MakePreset("Values", -6.5, 1, 7, 2, 33.25);
  const PresetView view = ViewPreset(plug, 0);
  ASSERT_EQ(view.chunk.size(), 40u);
  ByteChunk chunk;
  SetBytes(&chunk, view.chunk);
  EXPECT_EQ(DoubleAt(chunk, 0), -6.5);
  EXPECT_EQ(DoubleAt(chunk, 1), 1.0);
  EXPECT_EQ(DoubleAt(chunk, 2), 7.0);
  EXPECT_EQ(DoubleAt(chunk, 3), 2.0);
  EXPECT_EQ(DoubleAt(chunk, 4), 33.25);
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(plug.GetParam(4)->Value(), 33.25);
}

TEST(Presets, NamedParamsFillOnlyTheNamedSlots) {
  PresetPlug plug(5, 3, false);
  plug.Scramble(2);
  plug.MakePresetFromNamedParams("None", 0);
  EXPECT_EQ(ViewPreset(plug, 0).chunk, CurrentState(plug));

  plug.MakePresetFromNamedParams("Two", 2, 4, 12.5, 2, 9);
  ByteChunk chunk;
  SetBytes(&chunk, ViewPreset(plug, 1).chunk);
  EXPECT_EQ(DoubleAt(chunk, 4), 12.5);
  EXPECT_EQ(DoubleAt(chunk, 2), 9.0);
  EXPECT_EQ(DoubleAt(chunk, 0), plug.GetParam(0)->Value());

  // An unknown index ends the list: the value after it is never read.
  plug.MakePresetFromNamedParams("Bad", 2, 0, -3.0, 99, 1.0);
  SetBytes(&chunk, ViewPreset(plug, 2).chunk);
  EXPECT_EQ(DoubleAt(chunk, 0), -3.0);
  EXPECT_EQ(DoubleAt(chunk, 1), plug.GetParam(1)->Value());
}

TEST(Presets, BlobDecodesIntoExactlyTheGivenSize) {
  PresetPlug plug(1, 4, false);
  plug.MakePresetFromBlob("Zero", "AAAA", 8);
  EXPECT_EQ(ViewPreset(plug, 0).chunk, std::vector<uint8_t>(8, 0));

  // "AQIDBAUGBwg=" is 01..08; six characters carry four whole bytes.
  plug.MakePresetFromBlob("Cut", "AQIDBA", 8);
  EXPECT_EQ(ViewPreset(plug, 1).chunk, (std::vector<uint8_t>{1, 2, 3, 4, 0, 0, 0, 0}));
  // Decoding stops at the first character outside the alphabet.
  plug.MakePresetFromBlob("Stop", "AQID*AUGBwg=", 8);
  EXPECT_EQ(ViewPreset(plug, 2).chunk, (std::vector<uint8_t>{1, 2, 3, 0, 0, 0, 0, 0}));

  plug.MakePresetFromBlob("Negative", "AAAA", -1);
  EXPECT_FALSE(ViewPreset(plug, 3).initialized);
}

TEST(Presets, FromChunkCopiesTheBytes) {
  PresetPlug plug(2, 2, false);
  ByteChunk chunk;
  chunk.Append(3.0);
  chunk.Append(1.0);
  plug.MakePresetFromChunk("Copy", &chunk);
  plug.MakePresetFromChunk("Null", nullptr);
  EXPECT_EQ(ViewPreset(plug, 0).chunk, BytesOf(chunk));
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(plug.GetParam(0)->Value(), 3.0);
  EXPECT_FALSE(plug.RestorePreset(1));  // empty state runs short
}

TEST(Presets, EnsureAndPrune) {
  PresetPlug plug(2, 4, false);
  plug.MakeDefaultPreset("First", 1);
  plug.EnsureDefaultPreset();
  for (int i = 1; i < 4; ++i) EXPECT_EQ(ViewPreset(plug, i).name, "Empty");

  PresetPlug sparse(2, 4, false);
  sparse.MakeDefaultPreset("A", 1);
  ASSERT_TRUE(sparse.RestorePreset(0));
  sparse.PruneUninitializedPresets();
  EXPECT_EQ(sparse.NPresets(), 1);
  EXPECT_EQ(sparse.GetCurrentPresetIdx(), 0);
}

TEST(Presets, PruneKeepsTheCurrentPresetCurrent) {
  PresetPlug plug(2, 4, false);
  ByteChunk state;
  plug.SerializeState(&state);
  plug.MakePresetFromChunk("A", &state);
  plug.MakePresetFromChunk("B", &state);
  plug.MakePresetFromChunk("C", &state);
  // Preset 1 becomes uninitialised again through a bank.
  ByteChunk bank;
  bank.AppendStr("A");
  bank.Append(uint8_t{1});
  bank.AppendChunk(state);
  bank.AppendStr("gap");
  bank.Append(uint8_t{0});
  bank.AppendStr("C");
  bank.Append(uint8_t{1});
  bank.AppendChunk(state);
  bank.AppendStr("D");
  bank.Append(uint8_t{0});
  ASSERT_TRUE(plug.RestorePreset(2));
  ASSERT_GT(plug.UnserializePresets(&bank, 0), 0);
  plug.PruneUninitializedPresets();
  EXPECT_EQ(plug.NPresets(), 2);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_STREQ(plug.GetPresetName(1), "C");
}

TEST(Presets, RestoreOutsideTheListChangesNothing) {
  PresetPlug plug(3, 2, false);
  plug.MakeDefaultPreset("A", 2);
  plug.Scramble(7);
  const std::vector<uint8_t> before = Snapshot(plug);
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_FALSE(plug.RestorePreset(2));
  EXPECT_FALSE(plug.RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset("missing"));
  EXPECT_EQ(Snapshot(plug), before);
  EXPECT_EQ(plug.paramChanges, 0);
  EXPECT_EQ(plug.presetChanges, 0);
  EXPECT_STREQ(plug.GetPresetName(2), "");
  EXPECT_STREQ(plug.GetPresetName(-1), "");
}

TEST(Presets, RestoreByNameTakesTheFirstExactMatch) {
  PresetPlug plug(1, 3, false);
  plug.MakePreset("Low", -12.0);
  plug.MakePreset("High", 12.0);
  plug.MakePreset("High", 6.0);
  EXPECT_FALSE(plug.RestorePreset("high"));
  EXPECT_TRUE(plug.RestorePreset("High"));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 12.0);
  EXPECT_EQ(plug.presetChanges, 1);
  EXPECT_EQ(plug.paramChanges, 1);
}

TEST(Presets, UninitialisedPresetCapturesAsUserPresetThree) {
  PresetPlug plug(2, 4, false);
  plug.MakeDefaultPreset("user preset 1", 1);
  plug.MakeDefaultPreset("my user preset", 1);
  plug.MakeDefaultPreset("User Preset", 1);  // case differs: not counted
  plug.Scramble(3);
  EXPECT_TRUE(plug.RestorePreset(3));
  const PresetView view = ViewPreset(plug, 3);
  EXPECT_EQ(view.name, "user preset 3");
  EXPECT_TRUE(view.initialized);
  EXPECT_EQ(view.chunk, CurrentState(plug));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
  EXPECT_EQ(plug.presetChanges, 1);
}

TEST(Presets, CorruptPresetFailsAndLeavesTheParameters) {
  PresetPlug plug(5, 2, false);
  plug.MakeDefaultPreset("Good", 1);
  plug.MakePresetFromBlob("Short", "AAAAAAAAAAAA", 9);  // 1 double and a byte
  plug.Scramble(11);
  const std::vector<uint8_t> before = Snapshot(plug);
  EXPECT_FALSE(plug.RestorePreset(1));
  EXPECT_EQ(Snapshot(plug), before);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.presetChanges, 0);
}

TEST(Presets, NonFiniteStoredValuesNeverReachTheParameters) {
  PresetPlug plug(3, 1, false);
  ByteChunk chunk;
  chunk.Append(std::numeric_limits<double>::quiet_NaN());
  chunk.Append(std::numeric_limits<double>::infinity());
  chunk.Append(-std::numeric_limits<double>::infinity());
  plug.MakePresetFromChunk("Odd", &chunk);
  ASSERT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(plug.GetParam(0)->Value(), plug.GetParam(0)->Default());
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 1.0);
}

TEST(Presets, ModifyCurrentPresetRecapturesAndRenames) {
  PresetPlug plug(3, 2, false);
  plug.MakeDefaultPreset("Kept", 2);
  ASSERT_TRUE(plug.RestorePreset(1));
  plug.Scramble(5);
  plug.ModifyCurrentPreset("");
  EXPECT_EQ(ViewPreset(plug, 1).name, "Kept");
  EXPECT_EQ(ViewPreset(plug, 1).chunk, CurrentState(plug));
  EXPECT_NE(ViewPreset(plug, 0).chunk, CurrentState(plug));
  plug.ModifyCurrentPreset(nullptr);
  EXPECT_EQ(ViewPreset(plug, 1).name, "Kept");
  plug.ModifyCurrentPreset(std::string(300, 'x').c_str());
  EXPECT_EQ(ViewPreset(plug, 1).name, std::string(255, 'x'));
}

TEST(Presets, VersionTag) {
  ByteChunk chunk;
  chunk.Append(1.0);
  IPlugBase::InitChunkWithIPlugVer(&chunk);
  EXPECT_EQ(BytesOf(chunk), (std::vector<uint8_t>{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
  chunk.Append(2.0);
  int pos = 0;
  EXPECT_EQ(IPlugBase::GetIPlugVerFromChunk(&chunk, &pos), 0x00010000);
  EXPECT_EQ(pos, 8);

  pos = 8;  // no tag here
  EXPECT_EQ(IPlugBase::GetIPlugVerFromChunk(&chunk, &pos), 0);
  EXPECT_EQ(pos, 8);
  pos = -4;
  EXPECT_EQ(IPlugBase::GetIPlugVerFromChunk(&chunk, &pos), 0);
  EXPECT_EQ(pos, -4);

  chunk.Resize(6);  // tag, then half a version
  pos = 0;
  EXPECT_EQ(IPlugBase::GetIPlugVerFromChunk(&chunk, &pos), 0);
  EXPECT_EQ(pos, -1);
}

TEST(PresetDumps, SourceCodeListsEveryParameter) {
  TempDir dir;
  PresetPlug plug(5, 1, false);
  plug.GetParam(0)->Set(-1.25);
  plug.GetParam(1)->Set(1.0);
  plug.GetParam(2)->Set(7.0);
  plug.GetParam(3)->Set(2.0);
  plug.GetParam(4)->Set(12.5);
  const char* names[] = {"kGain", "kSwitch", "kCount", "kMode", "kTime"};
  ASSERT_TRUE(plug.DumpPresetSrcCode(dir.File("src.txt").c_str(), names));
  EXPECT_EQ(ReadFileText(dir.File("src.txt")),
            "  MakePresetFromNamedParams(\"name\", 5,\n    kGain, -1.250000,\n    kSwitch, true,\n"
            "    kCount, 7,\n    kMode, 2,\n    kTime, 12.500000);\n");
  EXPECT_FALSE(plug.DumpPresetSrcCode((dir.File("missing") + "/x").c_str(), names));
}

TEST(PresetDumps, PresetBlobOfTheCurrentPreset) {
  TempDir dir;
  PresetPlug plug(1, 2, false);
  plug.MakePreset("First", 1.5);
  plug.MakePreset("Second", 0.0);
  ASSERT_TRUE(plug.DumpPresetBlob(dir.File("p.txt").c_str()));
  EXPECT_EQ(ReadFileText(dir.File("p.txt")), "MakePresetFromBlob(\"name\", \"AAAAAAAA+D8=\", 8);\n");
}

TEST(PresetDumps, BankBlobEncodesLongChunksWholeAndDecodesBack) {
  TempDir dir;
  PresetPlug plug(250, 2, false);  // 2000-byte states
  plug.Scramble(9);
  plug.MakeDefaultPreset("Long", 1);
  plug.MakeDefaultPreset("Other", 1);
  ASSERT_TRUE(plug.DumpBankBlob(dir.File("b.txt").c_str()));
  const std::string text = ReadFileText(dir.File("b.txt"));
  const std::string head = "MakePresetFromBlob(\"Long\", \"";
  ASSERT_EQ(text.compare(0, head.size(), head), 0);
  const size_t end = text.find('"', head.size());
  const std::string blob = text.substr(head.size(), end - head.size());
  EXPECT_EQ(blob.size(), 2668u);
  EXPECT_EQ(text.compare(end, 10, "\", 2000);\n"), 0);
  EXPECT_NE(text.find("MakePresetFromBlob(\"Other\", \""), std::string::npos);

  PresetPlug copy(250, 1, false);
  copy.MakePresetFromBlob("Long", blob.c_str(), 2000);
  EXPECT_EQ(ViewPreset(copy, 0).chunk, CurrentState(plug));
}

}  // namespace
