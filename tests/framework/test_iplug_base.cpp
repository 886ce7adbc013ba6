#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "framework/byte_chunk.h"
#include "graphics/igraphics_headless.h"
#include "tests/framework/test_plug.h"

namespace {

TEST(IPlugBase, FreshPresetRecord) {
  IPreset preset;
  EXPECT_FALSE(preset.mInitialized);
  EXPECT_STREQ(preset.mName, "empty");
  EXPECT_EQ(preset.mChunk.Size(), 0);
}

TEST(IPlugBase, LongNamesAreCut) {
  const std::string longName(300, 'q');
  class LongPlug : public NoHost<IPlugBase> {
  public:
    explicit LongPlug(const char* name)
        : NoHost<IPlugBase>(0, "1-1", 0, name, name, name, 0, 0, 0, 0, false, false, false, kAPIVST3) {}
  } plug(longName.c_str());
  EXPECT_EQ(std::string(plug.GetEffectName()), std::string(PLUG_NAME_SIZE - 1, 'q'));
  EXPECT_EQ(std::strlen(plug.GetProductName()), static_cast<size_t>(PLUG_NAME_SIZE - 1));
  EXPECT_EQ(std::strlen(plug.GetMfrName()), static_cast<size_t>(PLUG_NAME_SIZE - 1));
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
}

// ---- Channel configuration ----

TEST(IPlugChannelIO, MonoAndStereo) {
  TestPlug plug("1-1 2-2");
  ASSERT_EQ(plug.NChannelIO(), 2);
  EXPECT_EQ(plug.GetChannelIO(0)->mIn, 1);
  EXPECT_EQ(plug.GetChannelIO(1)->mOut, 2);
  EXPECT_EQ(plug.NInChannels(), 2);
  EXPECT_EQ(plug.NOutChannels(), 2);
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_TRUE(plug.LegalIO(1, -1));
  EXPECT_TRUE(plug.LegalIO(-1, -1));
  EXPECT_FALSE(plug.LegalIO(2, 1));
  EXPECT_FALSE(plug.LegalIO(0, 0));
}

TEST(IPlugChannelIO, MissingOutputCountReadsZero) {
  TestPlug plug("2");
  ASSERT_EQ(plug.NChannelIO(), 1);
  EXPECT_EQ(plug.GetChannelIO(0)->mIn, 2);
  EXPECT_EQ(plug.GetChannelIO(0)->mOut, 0);
  EXPECT_EQ(plug.NInChannels(), 2);
  EXPECT_EQ(plug.NOutChannels(), 0);
  EXPECT_TRUE(plug.LegalIO(2, 0));
}

TEST(IPlugChannelIO, DoubleSpaceRepeatsTheNextEntry) {
  TestPlug plug("1-1  2-2");
  ASSERT_EQ(plug.NChannelIO(), 3);
  EXPECT_EQ(plug.GetChannelIO(1)->mIn, 2);
  EXPECT_EQ(plug.GetChannelIO(2)->mIn, 2);
  EXPECT_EQ(plug.GetChannelIO(2)->mOut, 2);
}

TEST(IPlugChannelIO, NullStringGivesNoChannels) {
  TestPlug plug(nullptr);
  EXPECT_EQ(plug.NChannelIO(), 0);
  EXPECT_EQ(plug.NInChannels(), 0);
  EXPECT_EQ(plug.NOutChannels(), 0);
  EXPECT_FALSE(plug.LegalIO(-1, -1));
  plug.SetBlockSize(8);
  plug.ProcessBuffers(0.0f, 8);
  EXPECT_EQ(plug.calls.size(), 1u);
}

TEST(IPlugChannelIO, NegativeCountsNeverRaiseTheChannelCounts) {
  TestPlug plug("-1-2 x-3");
  ASSERT_EQ(plug.NChannelIO(), 2);
  EXPECT_EQ(plug.GetChannelIO(0)->mIn, -1);
  EXPECT_EQ(plug.GetChannelIO(0)->mOut, 2);
  EXPECT_EQ(plug.GetChannelIO(1)->mIn, 0);  // mismatch stops the entry
  EXPECT_EQ(plug.GetChannelIO(1)->mOut, 0);
  EXPECT_EQ(plug.NInChannels(), 0);
  EXPECT_EQ(plug.NOutChannels(), 2);
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(-7, 2));
  EXPECT_FALSE(plug.LegalIO(0, 2));
}

TEST(IPlugChannelIO, OversizedNumbersSaturate) {
  TestPlug plug("99999999999999999999-1 1-1");
  ASSERT_EQ(plug.NChannelIO(), 2);
  EXPECT_EQ(plug.GetChannelIO(0)->mIn, 2147483647);
  EXPECT_TRUE(plug.LegalIO(1, 1));
}

// ---- Parameters, lock and editor ----

// Takes the lock again in OnParamChange and, when asked, checks from a second
// thread that the lock is held during the call.
class LockingPlug : public TestPlug {
public:
  void OnParamChange(int paramIdx) override {
    WDL_MutexLock lock(GetMutex());
    changes.push_back(paramIdx);
    valueSeen.push_back(GetParam(paramIdx)->Value());
    if (!probeFromOtherThread) return;
    probeFromOtherThread = false;
    prober = std::thread([this] {
      proberStarted = true;
      WDL_MutexLock other(GetMutex());
      proberAcquired = true;
    });
    while (!proberStarted) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    acquiredDuringCall = proberAcquired.load();
  }

  std::vector<int> changes;
  std::vector<double> valueSeen;
  bool probeFromOtherThread = false;
  std::thread prober;
  std::atomic<bool> proberStarted{false}, proberAcquired{false};
  bool acquiredDuringCall = true;
};

TEST(IPlugParams, SetParameterFromGUIStoresInformsAndNotifies) {
  LockingPlug plug;
  plug.GetParam(1)->InitInt("I", 0, -24, 24);
  plug.SetParameterFromGUI(1, 0.51);
  EXPECT_EQ(plug.GetParam(1)->Value(), 0.0);
  ASSERT_EQ(plug.informed.size(), 1u);
  EXPECT_EQ(plug.informed[0].paramIdx, 1);
  EXPECT_EQ(plug.informed[0].value, 0.51);  // as given, not re-derived
  ASSERT_EQ(plug.changes.size(), 1u);
  EXPECT_EQ(plug.changes[0], 1);
  EXPECT_EQ(plug.valueSeen[0], 0.0);
}

TEST(IPlugParams, LockIsHeldAndReenteredDuringOnParamChange) {
  LockingPlug plug;
  plug.probeFromOtherThread = true;
  plug.SetParameterFromGUI(0, 0.7);
  ASSERT_TRUE(plug.prober.joinable());
  plug.prober.join();
  EXPECT_FALSE(plug.acquiredDuringCall);
  EXPECT_TRUE(plug.proberAcquired);
}

TEST(IPlugParams, OutOfRangeIndexIsIgnored) {
  LockingPlug plug;
  plug.SetParameterFromGUI(3, 0.5);
  plug.SetParameterFromGUI(-1, 0.5);
  EXPECT_TRUE(plug.informed.empty());
  EXPECT_TRUE(plug.changes.empty());
}

TEST(IPlugParams, ResetAndDirtyVisitEveryParameterInOrder) {
  LockingPlug plug;
  plug.GetParam(2)->InitDouble("D", 5.0, 0.0, 10.0, 0.1);
  plug.OnParamReset();
  EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2}));
  plug.DirtyParameters();
  ASSERT_EQ(plug.informed.size(), 3u);
  EXPECT_EQ(plug.informed[2].paramIdx, 2);
  EXPECT_EQ(plug.informed[2].value, 0.5);
}

class RecordingGraphics : public IGraphicsHeadless {
public:
  explicit RecordingGraphics(int* deletions) : IGraphicsHeadless(nullptr, 0, 0), mDeletions(deletions) {}
  ~RecordingGraphics() override { ++*mDeletions; }
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override {
    updates.push_back({paramIdx, value, normalized});
  }
  void PrepDraw() override { prepDrawAfter = static_cast<int>(updates.size()); }
  void SetControlFromPlug(int, double) override {}

  struct Update {
    int paramIdx;
    double value;
    bool normalized;
  };
  std::vector<Update> updates;
  int prepDrawAfter = -1;

private:
  int* mDeletions;
};

TEST(IPlugEditor, AttachShowsNormalizedValuesThenPrepares) {
  int deletions = 0;
  {
    TestPlug plug;
    plug.GetParam(1)->InitDouble("D", 30.0, 0.0, 40.0, 0.1);
    plug.AttachGraphics(nullptr);
    EXPECT_EQ(plug.GetGUI(), nullptr);
    auto* g = new RecordingGraphics(&deletions);
    plug.AttachGraphics(g);
    EXPECT_EQ(plug.GetGUI(), g);
    ASSERT_EQ(g->updates.size(), 3u);
    EXPECT_EQ(g->updates[1].value, 0.75);
    EXPECT_TRUE(g->updates[1].normalized);
    EXPECT_EQ(g->prepDrawAfter, 3);

    g->updates.clear();
    plug.RedrawParamControls();
    ASSERT_EQ(g->updates.size(), 3u);
    EXPECT_EQ(g->updates[1].value, 30.0);
    EXPECT_FALSE(g->updates[1].normalized);

    plug.AttachGraphics(new RecordingGraphics(&deletions));
    EXPECT_EQ(deletions, 1);
  }
  EXPECT_EQ(deletions, 2);
}

// ---- Labels ----

TEST(IPlugLabels, ChannelLabelsOutsideTheListAreIgnored) {
  TestPlug plug;
  plug.SetInputLabel(1, "Right");
  plug.SetInputLabel(2, "none");
  plug.SetOutputLabel(-1, "none");
  EXPECT_STREQ(plug.GetInputLabel(1), "Right");
  EXPECT_STREQ(plug.GetInputLabel(2), "");
  EXPECT_STREQ(plug.GetOutputLabel(0), "");
}

TEST(IPlugLabels, InputBusLabelsOnlyAtZeroAndOne) {
  TestPlug plug;
  plug.SetInputBusLabel(2, "x");
  plug.SetInputBusLabel(-1, "x");
  EXPECT_EQ(plug.GetInputBusLabel(0), nullptr);
  EXPECT_EQ(plug.GetInputBusLabel(2), nullptr);
  plug.SetInputBusLabel(1, "early");  // appended: the list is shorter
  ASSERT_NE(plug.GetInputBusLabel(0), nullptr);
  EXPECT_STREQ(plug.GetInputBusLabel(0)->Get(), "early");
  plug.SetInputBusLabel(0, "main");
  plug.SetInputBusLabel(1, "aux");
  EXPECT_STREQ(plug.GetInputBusLabel(0)->Get(), "main");
  EXPECT_STREQ(plug.GetInputBusLabel(1)->Get(), "aux");
  plug.SetInputBusLabel(0, "main in");
  EXPECT_STREQ(plug.GetInputBusLabel(0)->Get(), "main in");
  EXPECT_STREQ(plug.GetInputBusLabel(1)->Get(), "aux");
  EXPECT_EQ(plug.GetInputBusLabel(2), nullptr);
}

TEST(IPlugLabels, OutputBusLabelsAtAnyIndex) {
  TestPlug plug;
  plug.SetOutputBusLabel(-1, "x");
  EXPECT_EQ(plug.GetOutputBusLabel(0), nullptr);
  plug.SetOutputBusLabel(5, "five");
  EXPECT_STREQ(plug.GetOutputBusLabel(0)->Get(), "five");
  plug.SetOutputBusLabel(0, "zero");
  EXPECT_STREQ(plug.GetOutputBusLabel(0)->Get(), "zero");
  EXPECT_EQ(plug.GetOutputBusLabel(1), nullptr);
}

// ---- MIDI ----

TEST(IPlugMidi, SendMidiMsgsReportsAnyFailureButSendsAll) {
  TestPlug plug;
  WDL_TypedBuf<IMidiMsg> msgs;
  EXPECT_TRUE(plug.SendMidiMsgs(&msgs));
  msgs.Add(IMidiMsg(0, 0x90, 60, 100));
  msgs.Add(IMidiMsg(5, 0xff, 0, 0));
  msgs.Add(IMidiMsg(9, 0x80, 60, 0));
  EXPECT_FALSE(plug.SendMidiMsgs(&msgs));
  ASSERT_EQ(plug.sent.size(), 3u);
  EXPECT_EQ(plug.sent[2].mOffset, 9);
  plug.sent.clear();
  msgs.Resize(1);
  EXPECT_TRUE(plug.SendMidiMsgs(&msgs));
  EXPECT_EQ(plug.sent.size(), 1u);
}

TEST(IPlugMidi, ProcessMidiMsgForwards) {
  TestPlug plug;
  IMidiMsg msg(3, 0xb0, 7, 64);
  plug.ProcessMidiMsg(&msg);
  ASSERT_EQ(plug.sent.size(), 1u);
  EXPECT_EQ(plug.sent[0].mData2, 64);
  char name[8] = "x";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ(name, "");
}

// ---- Versions, host and API ----

class CountingHostPlug : public TestPlug {
public:
  EHost GetHost() override {
    ++hostQueries;
    return TestPlug::GetHost();
  }
  int hostQueries = 0;
};

TEST(IPlugHost, VersionsAndHostIdentification) {
  CountingHostPlug plug;
  EXPECT_EQ(plug.GetEffectVersion(false), 0x20000);
  EXPECT_EQ(plug.GetEffectVersion(true), 20000);
  char str[32];
  plug.GetEffectVersionStr(str);
  EXPECT_STREQ(str, "v2.0.0");

  plug.SetHost("REAPER64", 0x10203);
  EXPECT_EQ(plug.GetHost(), kHostReaper);
  plug.hostQueries = 0;
  EXPECT_EQ(plug.GetHostVersion(false), 0x10203);
  EXPECT_EQ(plug.GetHostVersion(true), 10203);
  plug.GetHostVersionStr(str);
  EXPECT_STREQ(str, "v1.2.3");
  EXPECT_EQ(plug.hostQueries, 3);

  plug.SetHost(nullptr, 0);
  EXPECT_EQ(plug.GetHost(), kHostUnknown);
}

TEST(IPlugHost, ApiAndArchStrings) {
  TestPlug plug;
  EXPECT_STREQ(plug.GetAPIString(), "VST3");
  EXPECT_STREQ(plug.GetArchString(), "x64");
  struct OtherApi : TestPlug {
    EAPI api = kAPISA;
    EAPI GetAPI() override { return api; }
  } other;
  EXPECT_STREQ(other.GetAPIString(), "Standalone");
  other.api = kAPIVST2;
  EXPECT_STREQ(other.GetAPIString(), "VST2");
  other.api = kAPILV2;
  EXPECT_STREQ(other.GetAPIString(), "LV2");
  other.api = static_cast<EAPI>(7);
  EXPECT_STREQ(other.GetAPIString(), "");
}

TEST(IPlugHost, SamplesPerBeat) {
  TestPlug plug;
  plug.SetSampleRate(48000.0);
  EXPECT_EQ(plug.GetSamplesPerBeat(), 24000.0);
  plug.tempo = 0.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
  plug.tempo = -5.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
}

// ---- Parameter state ----

TEST(IPlugState, ParamsRoundTripAndClampOnRestore) {
  LockingPlug plug;
  plug.GetParam(0)->InitDouble("A", 1.5, 0.0, 2.0, 0.5);
  plug.GetParam(1)->InitInt("B", -3, -10, 10);
  plug.GetParam(2)->InitBool("C", true);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(&chunk));
  ASSERT_EQ(chunk.Size(), 24);
  double second;
  chunk.ReadAt(&second, 8);
  EXPECT_EQ(second, -3.0);

  const double tooBig = 99.0;
  std::memcpy(chunk.GetBytes(), &tooBig, sizeof(double));
  plug.GetParam(1)->Set(7.0);
  EXPECT_EQ(plug.UnserializeState(&chunk, 0), 24);
  EXPECT_EQ(plug.GetParam(0)->Value(), 2.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), -3.0);
  EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2}));
  EXPECT_FALSE(plug.CompareState(chunk.GetBytes(), 0));
  ByteChunk restored;
  ASSERT_TRUE(plug.SerializeState(&restored));
  EXPECT_TRUE(plug.CompareState(restored.GetBytes(), 0));
}

TEST(IPlugState, ShortChunkStopsAtTheMissingValue) {
  LockingPlug plug;
  plug.GetParam(1)->InitDouble("B", 4.0, 1.0, 9.0, 0.1);
  plug.GetParam(2)->InitDouble("C", 6.0, 0.0, 9.0, 0.1);
  ByteChunk chunk;
  chunk.Append(0.25);
  chunk.Append(0.0);
  chunk.Resize(12);
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.25);
  EXPECT_EQ(plug.GetParam(1)->Value(), 1.0);  // 0 clamped into range
  EXPECT_EQ(plug.GetParam(2)->Value(), 6.0);  // untouched
  EXPECT_EQ(plug.changes.size(), 3u);
}

TEST(IPlugState, NoParameters) {
  TestPlug plug("1-1", 0);
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializeParams(&chunk));
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(plug.UnserializeParams(&chunk, 0), 0);
  EXPECT_TRUE(plug.CompareState(nullptr, 0));
}

TEST(IPlugState, CompareStateCountsValuesNotBytes) {
  TestPlug plug("1-1", 2);
  plug.GetParam(0)->Set(0.5);
  plug.GetParam(1)->Set(0.25);
  const double incoming[4] = {9.0, 9.0, 0.5, 0.25};
  unsigned char bytes[sizeof(incoming)];
  std::memcpy(bytes, incoming, sizeof(incoming));
  EXPECT_TRUE(plug.CompareState(bytes, 2));
  EXPECT_FALSE(plug.CompareState(bytes, 1));
  EXPECT_FALSE(plug.CompareState(nullptr, 0));
}

}  // namespace
