// What Steinberg's validator checks in its general, processing and state
// tests, done through the bundle: the parameter list, buses and
// arrangements, processing in every shape a host may send, life-cycle
// toggles, the bypass surviving a preset file, and automation at its own
// sample.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "pluginterfaces/vst/vstspeaker.h"
#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
constexpr int kMaxBlock = 512;

int SpeakerCount(SpeakerArrangement arr) {
  int n = 0;
  for (; arr; arr &= arr - 1) ++n;
  return n;
}

template <class T>
bool AllFiniteAndBounded(const BusBuffers<T>& out, int frames) {
  for (const auto& ch : out.data)
    for (int i = 0; i < frames; ++i)
      if (!std::isfinite(static_cast<double>(ch[static_cast<size_t>(i)])) || std::fabs(double(ch[static_cast<size_t>(i)])) > 100.0)
        return false;
  return true;
}
}  // namespace

class Vst3Conformance : public Vst3Test {
protected:
  template <class T>
  tresult Run(PluginInstance& plug, BusBuffers<T>& in, BusBuffers<T>& out, int frames,
              IParameterChanges* changes = nullptr) {
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeBlock(in, out, inBus, outBus, frames, changes);
    return plug.processor->process(data);
  }
  template <class T>
  void Fill(BusBuffers<T>& in, long start) {
    for (size_t ch = 0; ch < in.data.size(); ++ch)
      for (size_t i = 0; i < in.data[ch].size(); ++i)
        in.data[ch][i] = static_cast<T>(TestSignal(static_cast<int>(ch), start + static_cast<long>(i)));
  }
  template <class T>
  void EveryBlockSize(int32 sampleSize);
};

TEST_F(Vst3Conformance, EveryParameterIsWellFormed) {
  IEditController* c = mPlug->controller;
  std::set<UnitID> units;
  for (int32 u = 0; u < mPlug->units->getUnitCount(); ++u) {
    UnitInfo info{};
    ASSERT_EQ(mPlug->units->getUnitInfo(u, info), kResultOk);
    units.insert(info.id);
  }
  std::set<ParamID> ids;
  std::set<std::string> titles;
  int bypassParams = 0;
  ASSERT_EQ(c->getParameterCount(), 45);
  for (int32 i = 0; i < c->getParameterCount(); ++i) {
    ParameterInfo info{};
    ASSERT_EQ(c->getParameterInfo(i, info), kResultOk) << i;
    const std::string title = ToUtf8(info.title);
    SCOPED_TRACE(title);
    EXPECT_TRUE(ids.insert(info.id).second) << "id " << info.id << " twice";
    EXPECT_FALSE(title.empty()) << "parameter " << info.id << " has no title";
    EXPECT_TRUE(titles.insert(title).second) << "title twice";
    EXPECT_GE(info.stepCount, 0);
    EXPECT_GE(info.defaultNormalizedValue, 0.0);
    EXPECT_LE(info.defaultNormalizedValue, 1.0);
    EXPECT_EQ(units.count(info.unitId), 1u) << "unit " << info.unitId;
    if (info.flags & ParameterInfo::kIsBypass) ++bypassParams;
    if (info.flags & ParameterInfo::kIsReadOnly) {
      EXPECT_FALSE(info.flags & ParameterInfo::kCanAutomate);
    }
    // What the host shows for a value it can set.
    if (!(info.flags & (ParameterInfo::kIsHidden | ParameterInfo::kIsProgramChange))) {
      String128 text{};
      EXPECT_EQ(c->getParamStringByValue(info.id, info.defaultNormalizedValue, text), kResultOk);
      EXPECT_FALSE(ToUtf8(text).empty());
    }
  }
  EXPECT_EQ(bypassParams, 1);
}

TEST_F(Vst3Conformance, BusesAndArrangementsAgree) {
  IComponent* c = mPlug->component;
  IAudioProcessor* p = mPlug->processor;
  auto checkBuses = [&](int channels) {
    for (BusDirection dir : {kInput, kOutput}) {
      ASSERT_EQ(c->getBusCount(kAudio, dir), 1);
      BusInfo info{};
      ASSERT_EQ(c->getBusInfo(kAudio, dir, 0, info), kResultTrue);
      SpeakerArrangement arr = 0;
      ASSERT_EQ(p->getBusArrangement(dir, 0, arr), kResultTrue);
      EXPECT_EQ(info.channelCount, channels);
      EXPECT_EQ(SpeakerCount(arr), channels);
      EXPECT_NE(c->getBusInfo(kAudio, dir, 1, info), kResultTrue);
      EXPECT_NE(p->getBusArrangement(dir, 1, arr), kResultTrue);
      // Activated and deactivated, again and again.
      for (bool state : {false, true, false, true}) EXPECT_EQ(c->activateBus(kAudio, dir, 0, state), kResultTrue);
      EXPECT_NE(c->activateBus(kAudio, dir, 1, true), kResultTrue);
      EXPECT_NE(c->activateBus(kEvent, dir, 0, true), kResultTrue);
    }
  };
  checkBuses(2);
  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo, surround = SpeakerArr::k51;
  EXPECT_EQ(p->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  checkBuses(1);
  EXPECT_EQ(p->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
  checkBuses(2);
  EXPECT_EQ(p->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  EXPECT_EQ(p->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
  EXPECT_EQ(p->setBusArrangements(&surround, 1, &surround, 1), kResultFalse);
  // A refusal leaves the buses as they were.
  checkBuses(2);

  // Both accepted layouts process.
  for (SpeakerArrangement arr : {mono, stereo}) {
    ASSERT_EQ(p->setBusArrangements(&arr, 1, &arr, 1), kResultOk);
    ActivateBuses(*mPlug);
    ASSERT_EQ(SetUpProcessing(*mPlug, kSample32, kMaxBlock, 48000.0), kResultOk);
    ASSERT_EQ(c->setActive(true), kResultOk);
    BusBuffers<float> in(SpeakerCount(arr), kMaxBlock), out(SpeakerCount(arr), kMaxBlock);
    Fill(in, 0);
    ASSERT_EQ(Run(*mPlug, in, out, kMaxBlock), kResultOk);
    EXPECT_TRUE(AllFiniteAndBounded(out, kMaxBlock));
    EXPECT_NE(out.data, in.data);
    ASSERT_EQ(c->setActive(false), kResultOk);
  }
}

TEST_F(Vst3Conformance, ProcessesEmptyAndSilentBlocks) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample32, kMaxBlock, 44100.0), kResultOk);
  ASSERT_EQ(mPlug->component->setActive(true), kResultOk);
  // No samples and no buffers at all: a parameter flush.
  ProcessData empty{};
  empty.symbolicSampleSize = kSample32;
  EXPECT_EQ(mPlug->processor->process(empty), kResultOk);
  TestParamChanges changes;
  changes.Add(kLowGain, 0.7);
  empty.inputParameterChanges = &changes;
  EXPECT_EQ(mPlug->processor->process(empty), kResultOk);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kLowGain), 0.7);

  // Silent input marked silent, and signal marked silent by a careless host.
  BusBuffers<float> in(2, kMaxBlock), out(2, kMaxBlock);
  for (int round = 0; round < 2; ++round) {
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeBlock(in, out, inBus, outBus, kMaxBlock);
    inBus.silenceFlags = 0x3;
    outBus.silenceFlags = 0x3;
    EXPECT_EQ(mPlug->processor->process(data), kResultOk);
    EXPECT_TRUE(AllFiniteAndBounded(out, kMaxBlock));
    Fill(in, 0);
  }
  EXPECT_EQ(mPlug->component->setActive(false), kResultOk);
}

template <class T>
void Vst3Conformance::EveryBlockSize(int32 sampleSize) {
  ASSERT_EQ(SetUpProcessing(*mPlug, sampleSize, kMaxBlock, 48000.0), kResultOk);
  ASSERT_EQ(mPlug->component->setActive(true), kResultOk);
  auto reference = MakeInstance("Ardour");
  ASSERT_EQ(SetUpProcessing(*reference, sampleSize, kMaxBlock, 48000.0), kResultOk);
  BusBuffers<T> in(2, kMaxBlock), out(2, kMaxBlock), refIn(2, 1), refOut(2, 1);
  long position = 0;
  for (int frames = 1; frames <= kMaxBlock; ++frames) {
    Fill(in, position);
    ASSERT_EQ(Run(*mPlug, in, out, frames), kResultOk) << frames;
    ASSERT_TRUE(AllFiniteAndBounded(out, frames)) << frames;
    // Sample by sample, every fourth size: any block size gives the same audio.
    if (frames % 4 == 0) {
      for (int i = 0; i < frames; ++i) {
        for (size_t ch = 0; ch < 2; ++ch) refIn.data[ch][0] = in.data[ch][static_cast<size_t>(i)];
        ASSERT_EQ(Run(*reference, refIn, refOut, 1), kResultOk);
        for (size_t ch = 0; ch < 2; ++ch) ASSERT_EQ(refOut.data[ch][0], out.data[ch][static_cast<size_t>(i)]) << frames;
      }
    } else {
      // The reference hears the same signal, in one block.
      AudioBusBuffers inBus, outBus;
      BusBuffers<T> scratch(2, kMaxBlock);
      ProcessData data = MakeBlock(in, scratch, inBus, outBus, frames);
      ASSERT_EQ(reference->processor->process(data), kResultOk);
      for (size_t ch = 0; ch < 2; ++ch)
        for (int i = 0; i < frames; ++i) ASSERT_EQ(scratch.data[ch][static_cast<size_t>(i)], out.data[ch][static_cast<size_t>(i)]);
    }
    position += frames;
  }
  EXPECT_EQ(mPlug->component->setActive(false), kResultOk);
  reference->component->terminate();
}

TEST_F(Vst3Conformance, EveryBlockSizeUpToTheMaximumIn32Bits) { EveryBlockSize<float>(kSample32); }

TEST_F(Vst3Conformance, EveryBlockSizeUpToTheMaximumIn64Bits) { EveryBlockSize<double>(kSample64); }

TEST_F(Vst3Conformance, ProcessesAtEverySampleRateFrom8kTo384k) {
  for (double rate : {8000.0, 11025.0, 16000.0, 22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0,
                      192000.0, 352800.0, 384000.0}) {
    SCOPED_TRACE(rate);
    for (int32 sampleSize : {kSample32, kSample64}) {
      ASSERT_EQ(SetUpProcessing(*mPlug, sampleSize, kMaxBlock, rate), kResultOk);
      ASSERT_EQ(mPlug->component->setActive(true), kResultOk);
      EXPECT_EQ(mPlug->processor->getLatencySamples(), 3u);
      EXPECT_GT(mPlug->processor->getTailSamples(), 3u);
      TestParamChanges changes;
      changes.Add(kHighGain, 1.0);  // 20 kHz and more: above half of the low rates
      changes.Add(13, 0.5);         // High Threshold
      changes.Add(2, 1.0);          // High Frequency
      if (sampleSize == kSample32) {
        BusBuffers<float> in(2, kMaxBlock), out(2, kMaxBlock);
        for (int block = 0; block < 4; ++block) {
          Fill(in, block * kMaxBlock);
          ASSERT_EQ(Run(*mPlug, in, out, kMaxBlock, block == 0 ? &changes : nullptr), kResultOk);
          ASSERT_TRUE(AllFiniteAndBounded(out, kMaxBlock)) << "block " << block;
        }
      } else {
        BusBuffers<double> in(2, kMaxBlock), out(2, kMaxBlock);
        for (int block = 0; block < 4; ++block) {
          Fill(in, block * kMaxBlock);
          ASSERT_EQ(Run(*mPlug, in, out, kMaxBlock, block == 0 ? &changes : nullptr), kResultOk);
          ASSERT_TRUE(AllFiniteAndBounded(out, kMaxBlock)) << "block " << block;
        }
      }
      ASSERT_EQ(mPlug->component->setActive(false), kResultOk);
    }
  }
}

TEST_F(Vst3Conformance, SurvivesRepeatedStateTransitions) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample32, kMaxBlock, 44100.0), kResultOk);
  BusBuffers<float> in(2, 64), out(2, 64);
  for (int round = 0; round < 8; ++round) {
    ASSERT_EQ(mPlug->component->setActive(true), kResultOk);
    if (round % 2) {
      ASSERT_EQ(mPlug->component->setActive(true), kResultOk);  // the same transition twice
    }
    const tresult processing = mPlug->processor->setProcessing(true);
    EXPECT_TRUE(processing == kResultOk || processing == kNotImplemented);
    Fill(in, round * 64);
    ASSERT_EQ(Run(*mPlug, in, out, 64), kResultOk);
    EXPECT_TRUE(AllFiniteAndBounded(out, 64));
    const tresult stopped = mPlug->processor->setProcessing(false);
    EXPECT_TRUE(stopped == kResultOk || stopped == kNotImplemented);
    ASSERT_EQ(mPlug->component->setActive(false), kResultOk);
  }
}

TEST_F(Vst3Conformance, TerminateThenInitializeGivesAWorkingPlugin) {
  ASSERT_EQ(mPlug->controller->setParamNormalized(kLowGain, 0.9), kResultOk);
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(mPlug->component->terminate(), kResultOk);
    TestHostApplication host("Ardour");
    ASSERT_EQ(mPlug->component->initialize(&host), kResultOk);
    ActivateBuses(*mPlug);
    EXPECT_EQ(mPlug->controller->getParameterCount(), 45);
    ParameterInfo info{};
    ASSERT_EQ(mPlug->controller->getParameterInfo(25 + 2, info), kResultOk);
    EXPECT_EQ(ToUtf8(info.title), "Unused");
    EXPECT_EQ(mPlug->component->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(mPlug->component->getBusCount(kAudio, kOutput), 1);
    ASSERT_EQ(SetUpProcessing(*mPlug, kSample64, kMaxBlock, 48000.0), kResultOk);
    ASSERT_EQ(mPlug->component->setActive(true), kResultOk);
    BusBuffers<double> in(2, kMaxBlock), out(2, kMaxBlock);
    Fill(in, 0);
    ASSERT_EQ(Run(*mPlug, in, out, kMaxBlock), kResultOk);
    EXPECT_TRUE(AllFiniteAndBounded(out, kMaxBlock));
    ASSERT_EQ(mPlug->component->setActive(false), kResultOk);
    TestStream state;
    ASSERT_EQ(mPlug->component->getState(&state), kResultOk);
    EXPECT_EQ(state.data.size(), 348u);
    ASSERT_EQ(mPlug->component->terminate(), kResultOk);
    ASSERT_EQ(mPlug->component->initialize(&host), kResultOk);
    ActivateBuses(*mPlug);
    // The host that initialised it must outlive it: end with its own.
    ASSERT_EQ(mPlug->component->terminate(), kResultOk);
    ASSERT_EQ(mPlug->component->initialize(nullptr), kResultOk);
    ActivateBuses(*mPlug);
  }
  // Initialising restores the first preset.
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kLowGain), 0.5);
}

TEST_F(Vst3Conformance, TheBypassSurvivesAPresetFile) {
  for (bool throughProcess : {false, true}) {
    SCOPED_TRACE(throughProcess ? "set through process" : "set through the controller");
    auto plug = MakeInstance("Cubase VST3");
    ASSERT_EQ(SetUpProcessing(*plug, kSample32, kMaxBlock, 44100.0), kResultOk);
    ASSERT_EQ(plug->component->setActive(true), kResultOk);
    // The host sets its bypass both ways; the controller agrees at once.
    ASSERT_EQ(plug->controller->setParamNormalized(kBypassTag, 1.0), kResultOk);
    EXPECT_EQ(plug->controller->getParamNormalized(kBypassTag), 1.0);
    TestParamChanges changes;
    changes.Add(kBypassTag, 1.0);
    BusBuffers<float> in(2, kMaxBlock), out(2, kMaxBlock);
    if (throughProcess) {
      ASSERT_EQ(Run(*plug, in, out, kMaxBlock, &changes), kResultOk);
    }

    // Saved as a preset file is: the component's state, then the controller's.
    TestStream component, controller;
    ASSERT_EQ(plug->component->getState(&component), kResultOk);
    ASSERT_EQ(plug->controller->getState(&controller), kResultOk);
    int32_t flag = 0;
    std::memcpy(&flag, component.data.data() + 344, 4);
    // The audio follows what process delivered; so does the stored state.
    EXPECT_EQ(flag, throughProcess ? 1 : 0);

    auto restored = MakeInstance("Cubase VST3");
    component.position = 0;
    controller.position = 0;
    ASSERT_EQ(restored->component->setState(&component), kResultOk);
    component.position = 0;
    ASSERT_EQ(restored->controller->setComponentState(&component), kResultOk);
    ASSERT_EQ(restored->controller->setState(&controller), kResultOk);
    EXPECT_EQ(restored->controller->getParamNormalized(kBypassTag), throughProcess ? 1.0 : 0.0);
    for (ParamID tag = 0; tag < kNumParams; ++tag)
      EXPECT_EQ(restored->controller->getParamNormalized(tag), plug->controller->getParamNormalized(tag));

    if (throughProcess) {
      // And it sounds bypassed: the input, one latency late.
      ASSERT_EQ(SetUpProcessing(*restored, kSample32, kMaxBlock, 44100.0), kResultOk);
      Fill(in, 0);
      ASSERT_EQ(Run(*restored, in, out, kMaxBlock), kResultOk);
      const size_t latency = restored->processor->getLatencySamples();
      for (size_t ch = 0; ch < 2; ++ch)
        for (size_t i = latency; i < kMaxBlock; ++i) ASSERT_EQ(out.data[ch][i], in.data[ch][i - latency]);
    }
    plug->component->terminate();
    restored->component->terminate();
  }
}

// Automation at its own sample: a block with points inside it sounds as the
// same audio cut into shorter blocks with each piece's changes at its start.
// Pieces shorter than 16 samples merge into the next.
namespace {
struct Point {
  int offset;
  ParamID tag;
  double value;
};

// Where the pieces of a block start, by the merging rule.
std::vector<int> PieceStarts(std::vector<Point> points) {
  std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.offset < b.offset; });
  std::vector<int> starts{0};
  for (const Point& p : points)
    if (p.offset - starts.back() >= 16) starts.push_back(p.offset);
  return starts;
}

class Lcg {
public:
  explicit Lcg(uint32_t seed) : mState(seed) {}
  int Below(int n) {
    mState = mState * 1664525u + 1013904223u;
    return static_cast<int>((mState >> 8) % static_cast<uint32_t>(n));
  }

private:
  uint32_t mState;
};
}  // namespace

class Vst3Automation : public Vst3Conformance {
protected:
  // The plug-in hears frames of the test signal from `start` in one block
  // with the points in their queues; `reference` hears them in the given
  // pieces with the points at their starts. Both outputs must be the same.
  template <class T>
  void RunBoth(PluginInstance& plug, PluginInstance& reference, long start, int frames, std::vector<Point> points,
               const std::vector<int>& starts) {
    BusBuffers<T> in(2, frames), out(2, frames), refOut(2, frames);
    Fill(in, start);
    std::stable_sort(points.begin(), points.end(),
                     [](const Point& a, const Point& b) { return a.offset < b.offset; });
    TestParamChanges changes;
    for (const Point& p : points) changes.Add(p.tag, p.value, p.offset);
    ASSERT_EQ(Run(plug, in, out, frames, &changes), kResultOk);

    for (size_t k = 0; k < starts.size(); ++k) {
      const int from = starts[k], to = k + 1 < starts.size() ? starts[k + 1] : frames;
      TestParamChanges atStart;
      for (const Point& p : points)
        if (p.offset >= from && (p.offset < to || k + 1 == starts.size())) atStart.Add(p.tag, p.value, 0);
      T* inPtrs[2] = {in.data[0].data() + from, in.data[1].data() + from};
      T* outPtrs[2] = {refOut.data[0].data() + from, refOut.data[1].data() + from};
      AudioBusBuffers inBus, outBus;
      ProcessData data = MakeProcessData(inPtrs, 2, outPtrs, 2, to - from, inBus, outBus);
      data.inputParameterChanges = &atStart;
      ASSERT_EQ(reference.processor->process(data), kResultOk);
    }
    for (size_t ch = 0; ch < 2; ++ch)
      for (int i = 0; i < frames; ++i)
        ASSERT_EQ(out.data[ch][static_cast<size_t>(i)], refOut.data[ch][static_cast<size_t>(i)])
            << "channel " << ch << " frame " << i;
  }

  template <class T>
  void PointsInsideBlocks(int32 sampleSize) {
    ASSERT_EQ(SetUpProcessing(*mPlug, sampleSize, kMaxBlock, 48000.0), kResultOk);
    auto reference = MakeInstance("Ardour");
    ASSERT_EQ(SetUpProcessing(*reference, sampleSize, kMaxBlock, 48000.0), kResultOk);
    // Bands that work, so that every parameter is heard.
    std::vector<Point> setting;
    for (ParamID threshold : {ParamID(13), ParamID(20), ParamID(34)}) setting.push_back({0, threshold, 0.6});
    RunBoth<T>(*mPlug, *reference, 0, 64, setting, {0});
    Lcg rnd(2024u + static_cast<uint32_t>(sampleSize));
    const ParamID tags[] = {kLowGain,    kHighGain, kOutputGain,  ParamID(24),
                            ParamID(34), kModeL,    ParamID(37), kBypassTag};
    long position = 64;
    for (int block = 0; block < 40; ++block) {
      SCOPED_TRACE(block);
      const int frames = block % 3 ? kMaxBlock : 1 + rnd.Below(kMaxBlock);
      std::vector<Point> points;
      for (ParamID tag : tags) {
        const int n = rnd.Below(5);
        for (int k = 0; k < n; ++k) {
          const double value = tag == kBypassTag ? (rnd.Below(4) == 0 ? 1.0 : 0.0) : rnd.Below(1001) / 1000.0;
          points.push_back({rnd.Below(frames), tag, value});
        }
      }
      RunBoth<T>(*mPlug, *reference, position, frames, points, PieceStarts(points));
      if (HasFatalFailure()) return;
      position += frames;
    }
    reference->component->terminate();
  }
};

TEST_F(Vst3Automation, PointsInsideBlocksAreHeardAtTheirSamplesIn64Bits) { PointsInsideBlocks<double>(kSample64); }

TEST_F(Vst3Automation, PointsInsideBlocksAreHeardAtTheirSamplesIn32Bits) { PointsInsideBlocks<float>(kSample32); }

TEST_F(Vst3Automation, PiecesShorterThanSixteenSamplesMergeIntoTheNext) {
  for (int32 sampleSize : {kSample64, kSample32}) {
    for (int apart : {15, 16, 17}) {
      SCOPED_TRACE(testing::Message() << apart << " samples apart, " << (sampleSize == kSample64 ? 64 : 32));
      auto plug = MakeInstance("Ardour");
      auto reference = MakeInstance("Ardour");
      for (PluginInstance* p : {plug.get(), reference.get()})
        ASSERT_EQ(SetUpProcessing(*p, sampleSize, kMaxBlock, 44100.0), kResultOk);
      // A gain ride and the host bypass, each with a second point `apart`
      // later, the first pair at the block's start.
      const std::vector<Point> points = {{apart, kOutputGain, 0.2},       {100, kOutputGain, 0.3},
                                         {100 + apart, kOutputGain, 0.9}, {300, kBypassTag, 1.0},
                                         {300 + apart, kBypassTag, 0.0}};
      // 15 apart: the later point of each pair takes over from the earlier
      // one's offset (and the first from the block's start).
      const std::vector<int> starts = apart < 16 ? std::vector<int>{0, 100, 300}
                                                 : std::vector<int>{0, apart, 100, 100 + apart, 300, 300 + apart};
      ASSERT_EQ(PieceStarts(points), starts);
      if (sampleSize == kSample64)
        RunBoth<double>(*plug, *reference, 0, kMaxBlock, points, starts);
      else
        RunBoth<float>(*plug, *reference, 0, kMaxBlock, points, starts);
      plug->component->terminate();
      reference->component->terminate();
    }
  }
}

// More points than the pieces have room for: the ones beyond are not lost
// but take effect at the block's last piece.
TEST_F(Vst3Automation, PointsBeyondCapacityTakeEffectAtTheLastPiece) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample64, 4096, 48000.0), kResultOk);
  TestParamChanges changes;
  for (int i = 0; i < 4096; ++i) changes.Add(kLowGain, (i % 100) / 100.0, i);
  for (int i = 0; i < 4096; i += 4) changes.Add(kOutputGain, 0.25, i);
  changes.Add(kHighGain, 0.875, 0);
  BusBuffers<double> in(2, 4096), out(2, 4096);
  Fill(in, 0);
  ASSERT_EQ(Run(*mPlug, in, out, 4096, &changes), kResultOk);
  EXPECT_TRUE(AllFiniteAndBounded(out, 4096));
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kLowGain), 0.95);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kOutputGain), 0.25);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(kHighGain), 0.875);
}
