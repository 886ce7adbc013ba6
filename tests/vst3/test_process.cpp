// Processing through the bundle, compared with the effect driven directly:
// parameter changes, bypass, presets, both sample sizes and what careless
// hosts send.
#include <cmath>
#include <limits>

#include "effect/morvante.h"
#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using vst3test::BusBuffers;
using vst3test::MakeBlock;
using vst3test::TestSignal;
using vst3test::Vst3Test;
namespace vt = vst3test;

namespace {
constexpr int kBlock = 256;
constexpr double kRate = 44100.0;

// The effect alone, driven the way the binding drives it.
class DirectEffect {
public:
  DirectEffect() : mFx(new MORVANTE(IPlugInstanceInfo())) {
    mFx->RestorePreset(0);
    mFx->SetSampleRate(kRate);
    mFx->Reset();
  }
  ~DirectEffect() { mFx->release(); }
  void Set(int idx, double normalized) {
    mFx->GetParam(idx)->SetNormalized(normalized);
    mFx->OnParamChange(idx);
  }
  // Frames from..to - 1 of a block of 64-bit audio: inputs in, outputs out.
  void Run(std::vector<std::vector<double>>& in, std::vector<std::vector<double>>& out, int from, int to) {
    double* ins[2] = {in[0].data() + from, in[1].data() + from};
    double* outs[2] = {out[0].data() + from, out[1].data() + from};
    mFx->ProcessDoubleReplacing(ins, outs, to - from);
  }
  MORVANTE* Fx() { return mFx; }

private:
  MORVANTE* mFx;
};

template <class T>
void FillInput(BusBuffers<T>& in, long start, int frames) {
  for (size_t ch = 0; ch < in.data.size(); ++ch)
    for (int i = 0; i < frames; ++i) in.data[ch][static_cast<size_t>(i)] = static_cast<T>(TestSignal(static_cast<int>(ch), start + i));
}
}  // namespace

class Vst3Process : public Vst3Test {
protected:
  template <class T>
  void CompareWithDirect(int32 sampleSize);
  template <class T>
  tresult Run(BusBuffers<T>& in, BusBuffers<T>& out, int frames, IParameterChanges* changes = nullptr) {
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeBlock(in, out, inBus, outBus, frames, changes);
    return mPlug->processor->process(data);
  }
};

template <class T>
void Vst3Process::CompareWithDirect(int32 sampleSize) {
  ASSERT_EQ(SetUpProcessing(*mPlug, sampleSize, kBlock, kRate), kResultOk);
  ASSERT_EQ(mPlug->component->setActive(true), kResultOk);
  DirectEffect direct;
  BusBuffers<T> in(2, kBlock), out(2, kBlock);
  std::vector<std::vector<double>> dIn(2, std::vector<double>(kBlock)), dOut(2, std::vector<double>(kBlock));
  TestParamChanges changes;

  for (int block = 0; block < 12; ++block) {
    changes.Clear();
    if (block == 2) {
      changes.Add(vt::kLowGain, 0.9);
      changes.Add(vt::kOutputGain, 0.4);
      direct.Set(vt::kLowGain, 0.9);
      direct.Set(vt::kOutputGain, 0.4);
    }
    // Each point from its own sample on: the block runs in two pieces.
    int cut = kBlock;
    if (block == 5) {
      changes.Add(vt::kHighGain, 0.2, 0);
      changes.Add(vt::kHighGain, 0.1, 100);
      changes.Add(24, 0.7);  // Low Mid Threshold
      changes.Add(vt::kModeL, 1.0);
      direct.Set(vt::kHighGain, 0.2);
      direct.Set(24, 0.7);
      direct.Set(vt::kModeL, 1.0);
      cut = 100;
    }
    FillInput(in, static_cast<long>(block) * kBlock, kBlock);
    for (int ch = 0; ch < 2; ++ch)
      for (int i = 0; i < kBlock; ++i) dIn[ch][static_cast<size_t>(i)] = static_cast<double>(in.data[ch][static_cast<size_t>(i)]);
    ASSERT_EQ(Run(in, out, kBlock, &changes), kResultOk);
    direct.Run(dIn, dOut, 0, cut);
    if (cut < kBlock) {
      direct.Set(vt::kHighGain, 0.1);
      direct.Run(dIn, dOut, cut, kBlock);
    }
    for (int ch = 0; ch < 2; ++ch)
      for (int i = 0; i < kBlock; ++i)
        ASSERT_EQ(out.data[ch][static_cast<size_t>(i)], static_cast<T>(dOut[ch][static_cast<size_t>(i)]))
            << "block " << block << " channel " << ch << " frame " << i;
  }
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(vt::kHighGain), 0.1);
  // The effect really worked on the signal.
  double difference = 0.0;
  for (int i = 0; i < kBlock; ++i) difference += std::fabs(double(out.data[0][static_cast<size_t>(i)]) - dIn[0][static_cast<size_t>(i)]);
  EXPECT_GT(difference, 1e-3);
}

TEST_F(Vst3Process, SixtyFourBitAudioMatchesTheEffectDrivenDirectly) { CompareWithDirect<double>(kSample64); }

TEST_F(Vst3Process, ThirtyTwoBitAudioMatchesTheEffectDrivenDirectly) { CompareWithDirect<float>(kSample32); }

TEST_F(Vst3Process, BypassAboveOneHalfPassesTheInputThrough) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample64), kResultOk);
  const size_t latency = mPlug->processor->getLatencySamples();
  ASSERT_GT(latency, 0u);
  BusBuffers<double> in(2, kBlock), out(2, kBlock);
  FillInput(in, 0, kBlock);
  TestParamChanges changes;
  changes.Add(vt::kBypassTag, 0.51);
  ASSERT_EQ(Run(in, out, kBlock, &changes), kResultOk);
  EXPECT_EQ(mPlug->controller->getParamNormalized(vt::kBypassTag), 1.0);
  // The input, one latency late.
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i < kBlock; ++i)
      ASSERT_EQ(out.data[ch][i], i < latency ? 0.0 : in.data[ch][i - latency]) << ch << " " << i;

  changes.Clear();
  changes.Add(vt::kBypassTag, 0.5);
  FillInput(in, kBlock, kBlock);
  ASSERT_EQ(Run(in, out, kBlock, &changes), kResultOk);
  EXPECT_EQ(mPlug->controller->getParamNormalized(vt::kBypassTag), 0.0);
  EXPECT_NE(out.data, in.data);

  // A new set-up keeps the host bypass: the host still shows it on.
  changes.Clear();
  changes.Add(vt::kBypassTag, 1.0);
  ASSERT_EQ(Run(in, out, kBlock, &changes), kResultOk);
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample64, kBlock, 96000.0), kResultOk);
  EXPECT_EQ(mPlug->controller->getParamNormalized(vt::kBypassTag), 1.0);
  const std::vector<std::vector<double>> last = in.data;
  FillInput(in, 2 * kBlock, kBlock);
  ASSERT_EQ(Run(in, out, kBlock), kResultOk);
  for (size_t ch = 0; ch < 2; ++ch)
    for (size_t i = 0; i < kBlock; ++i)
      ASSERT_EQ(out.data[ch][i], i < latency ? last[ch][kBlock - latency + i] : in.data[ch][i - latency]);
}

TEST_F(Vst3Process, PresetPointsRestoreThePresetAndOneRestoresNothing) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample32), kResultOk);
  BusBuffers<float> in(2, 64), out(2, 64);
  TestParamChanges changes;
  changes.Add(vt::kLowGain, 0.9);
  ASSERT_EQ(Run(in, out, 64, &changes), kResultOk);
  ASSERT_DOUBLE_EQ(mPlug->controller->getParamNormalized(vt::kLowGain), 0.9);

  changes.Clear();
  changes.Add(vt::kPresetTag, 1.0);
  ASSERT_EQ(Run(in, out, 64, &changes), kResultOk);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(vt::kLowGain), 0.9);

  changes.Clear();
  changes.Add(vt::kPresetTag, 0.0);
  ASSERT_EQ(Run(in, out, 64, &changes), kResultOk);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(vt::kLowGain), 0.5);
  EXPECT_EQ(mPlug->controller->getParamNormalized(vt::kPresetTag), 0.0);
}

TEST_F(Vst3Process, IgnoresUnknownTagsNullQueuesAndUnreadablePoints) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample32), kResultOk);
  BusBuffers<float> in(2, 64), out(2, 64);
  TestParamChanges changes;
  changes.Add(43, 0.3);
  changes.Add(0xFFFFFFF0, 0.3);
  changes.AddNullQueue();
  changes.Add(vt::kLowGain, 0.8)->failLastPoint = true;
  changes.Add(vt::kHighGain, std::numeric_limits<double>::quiet_NaN());
  changes.Add(vt::kOutputGain, 7.0);  // beyond 1: taken as 1
  int32 emptyQueueIndex = 0;
  changes.addParameterData(21, emptyQueueIndex);  // a queue without points
  ASSERT_EQ(Run(in, out, 64, &changes), kResultOk);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(vt::kLowGain), 0.5);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(vt::kHighGain), 0.5);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(vt::kOutputGain), 1.0);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(21), 0.5);
}

TEST_F(Vst3Process, InactiveOutputBusLeavesTheHostBuffersAlone) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample32), kResultOk);
  ASSERT_EQ(mPlug->component->activateBus(kAudio, Vst::kOutput, 0, false), kResultTrue);
  BusBuffers<float> in(2, kBlock), out(2, kBlock);
  FillInput(in, 0, kBlock);
  for (auto& ch : out.data) std::fill(ch.begin(), ch.end(), 7.0f);
  ASSERT_EQ(Run(in, out, kBlock), kResultOk);
  for (auto& ch : out.data)
    for (float s : ch) ASSERT_EQ(s, 7.0f);
}

TEST_F(Vst3Process, AFlushWithoutSamplesOrBuffersOnlyDeliversChanges) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample32), kResultOk);
  TestParamChanges changes;
  changes.Add(vt::kLowGain, 0.25);
  ProcessData data{};
  data.symbolicSampleSize = kSample32;
  data.inputParameterChanges = &changes;
  EXPECT_EQ(mPlug->processor->process(data), kResultOk);
  EXPECT_DOUBLE_EQ(mPlug->controller->getParamNormalized(vt::kLowGain), 0.25);
}

TEST_F(Vst3Process, ProcessingBeforeSetUpIsSilent) {
  BusBuffers<float> in(2, 128), out(2, 128);
  FillInput(in, 0, 128);
  for (auto& ch : out.data) std::fill(ch.begin(), ch.end(), 7.0f);
  ASSERT_EQ(Run(in, out, 128), kResultOk);
  for (auto& ch : out.data)
    for (float s : ch) ASSERT_EQ(s, 0.0f);
}

TEST_F(Vst3Process, ABlockOfTheOtherSampleSizeIsNotTouched) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample64), kResultOk);
  // Float buffers of the block's own size: read as doubles they would be
  // overrun twice over.
  BusBuffers<float> in(2, kBlock), out(2, kBlock);
  FillInput(in, 0, kBlock);
  for (auto& ch : out.data) std::fill(ch.begin(), ch.end(), 7.0f);
  ASSERT_EQ(Run(in, out, kBlock), kResultOk);
  for (auto& ch : out.data)
    for (float s : ch) ASSERT_EQ(s, 7.0f);
}

TEST_F(Vst3Process, ALongBlockIsProcessedInPiecesLikeShortOnes) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample32, 64, kRate), kResultOk);
  auto reference = MakeInstance("Ardour");
  ASSERT_EQ(SetUpProcessing(*reference, kSample32, 64, kRate), kResultOk);
  constexpr int kLong = 1000;
  BusBuffers<float> in(2, kLong), out(2, kLong);
  FillInput(in, 0, kLong);
  ASSERT_EQ(Run(in, out, kLong), kResultOk);

  // The same samples in blocks the scratch holds.
  BusBuffers<float> piece(2, 64), pieceOut(2, 64);
  for (int start = 0; start < kLong; start += 64) {
    const int n = std::min(64, kLong - start);
    for (int ch = 0; ch < 2; ++ch)
      for (int i = 0; i < n; ++i) piece.data[ch][static_cast<size_t>(i)] = in.data[ch][static_cast<size_t>(start + i)];
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeBlock(piece, pieceOut, inBus, outBus, n);
    ASSERT_EQ(reference->processor->process(data), kResultOk);
    for (int ch = 0; ch < 2; ++ch)
      for (int i = 0; i < n; ++i)
        ASSERT_EQ(out.data[ch][static_cast<size_t>(start + i)], pieceOut.data[ch][static_cast<size_t>(i)]) << start + i;
  }
  reference->component->terminate();
}

TEST_F(Vst3Process, NoInputBusReadsSilence) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample64), kResultOk);
  auto reference = MakeInstance("Ardour");
  ASSERT_EQ(SetUpProcessing(*reference, kSample64), kResultOk);
  // A first block with signal leaves converted samples nowhere to linger.
  BusBuffers<double> in(2, kBlock), silent(2, kBlock), out(2, kBlock), refOut(2, kBlock);
  FillInput(in, 0, kBlock);
  ASSERT_EQ(Run(in, out, kBlock), kResultOk);
  AudioBusBuffers inBus, outBus;
  ProcessData data = MakeBlock(in, refOut, inBus, outBus, kBlock);
  ASSERT_EQ(reference->processor->process(data), kResultOk);

  AudioBusBuffers noIn, outOnly;
  ProcessData none = MakeBlock(in, out, noIn, outOnly, kBlock);
  none.numInputs = 0;
  none.inputs = nullptr;
  ASSERT_EQ(mPlug->processor->process(none), kResultOk);
  ProcessData zeros = MakeBlock(silent, refOut, inBus, outBus, kBlock);
  ASSERT_EQ(reference->processor->process(zeros), kResultOk);
  EXPECT_EQ(out.data, refOut.data);
  reference->component->terminate();
}

TEST_F(Vst3Process, NullChannelPointersAreSurvived) {
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample32), kResultOk);
  BusBuffers<float> in(2, kBlock), out(2, kBlock);
  FillInput(in, 0, kBlock);
  AudioBusBuffers inBus, outBus;
  ProcessData data = MakeBlock(in, out, inBus, outBus, kBlock);
  inBus.channelBuffers32 = nullptr;
  outBus.channelBuffers32 = nullptr;
  EXPECT_EQ(mPlug->processor->process(data), kResultOk);

  data = MakeBlock(in, out, inBus, outBus, kBlock);
  in.pointers[1] = nullptr;
  out.pointers[0] = nullptr;
  EXPECT_EQ(mPlug->processor->process(data), kResultOk);
  // More buses than the component has: the extra one is left alone.
  AudioBusBuffers outs[2];
  BusBuffers<float> out2(2, kBlock);
  data = MakeBlock(in, out, inBus, outs[0], kBlock);
  outs[1] = outs[0];
  outs[1].channelBuffers32 = out2.Pointers();
  data.outputs = outs;
  data.numOutputs = 2;
  EXPECT_EQ(mPlug->processor->process(data), kResultOk);
  for (auto& ch : out2.data)
    for (float s : ch) ASSERT_EQ(s, 0.0f);
}

TEST_F(Vst3Process, MonoBusesProcessTheFirstChannel) {
  SpeakerArrangement mono = 0x80000;
  ASSERT_EQ(mPlug->processor->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  ActivateBuses(*mPlug);
  ASSERT_EQ(SetUpProcessing(*mPlug, kSample32), kResultOk);
  BusBuffers<float> in(1, kBlock), out(1, kBlock);
  FillInput(in, 0, kBlock);
  ASSERT_EQ(Run(in, out, kBlock), kResultOk);
  double energy = 0.0;
  for (float s : out.data[0]) energy += double(s) * s;
  EXPECT_GT(energy, 0.0);
  EXPECT_TRUE(std::isfinite(energy));
}
