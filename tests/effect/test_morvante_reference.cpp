// The plug-in's processing against the literal per-sample oracle: outputs
// and meter values must be equal bit for bit, whatever the settings, block
// sizes, rate or channel configuration.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "effect/scoped_flush_denormals.h"
#include "framework/block_pieces.h"
#include "tests/effect/meter_recording_graphics.h"
#include "tests/effect/morvante_test_plug.h"
#include "tests/effect/reference_morvante.h"
#include "tests/effect/test_signal.h"

namespace {

// The editor's meter controls, Low to High; the bands' processing order maps
// onto them through the band records.
constexpr int kMeterControl[kNumMorvanteBands] = {/* High */ 46, /* High Mid */ 45, /* Low */ 42,
                                                  /* Low Mid */ 43, /* Mid */ 44};

class Random {
public:
  explicit Random(uint32_t seed) : mState(seed) {}
  double Uniform(double lo, double hi) {
    mState = mState * 1664525u + 1013904223u;
    return lo + (hi - lo) * (static_cast<double>(mState >> 8) / 16777216.0);
  }
  bool Chance(double p) { return Uniform(0.0, 1.0) < p; }
  int Index(int n) { return std::min(n - 1, static_cast<int>(Uniform(0.0, n))); }

private:
  uint32_t mState;
};

// The plug-in and the oracle, fed the same settings and input.
class Pair {
public:
  Pair(double sampleRate, bool editor) {
    plug.SetSampleRate(sampleRate);
    ref.SetSampleRate(sampleRate);
    for (int i = 0; i < kNumMorvanteParams; ++i) ref.SetParameter(i, plug.GetParam(i)->Value());
    if (editor) {
      graphics = new MeterRecordingGraphics(&plug);
      plug.AttachGraphics(graphics);
      ref.SetEditorOpen(true);
    }
  }

  // A change delivered the framework's way.
  void Set(int paramIdx, double value) {
    plug.SetParam(paramIdx, value);
    ref.SetParameter(paramIdx, plug.GetParam(paramIdx)->Value());
  }
  // The live switches need no notification: the processing reads them.
  void SetLive(int paramIdx, double value) {
    plug.GetParam(paramIdx)->Set(value);
    ref.SetParameter(paramIdx, plug.GetParam(paramIdx)->Value());
  }

  void RandomiseBand(Random& rnd, int b, double thresholdOffChance) {
    const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
    auto any = [&](int paramIdx) {
      const IParam* p = plug.GetParam(paramIdx);
      Set(paramIdx, rnd.Uniform(p->Min(), p->Max()));
    };
    for (int paramIdx : {layout.attackParam, layout.bandwidthParam, layout.frequencyParam, layout.gainParam,
                         layout.ratioParam, layout.releaseParam}) {
      any(paramIdx);
    }
    Set(layout.thresholdParam, rnd.Chance(thresholdOffChance) ? 0.0 : rnd.Uniform(5.0, 60.0));
    SetLive(layout.modeParam, rnd.Chance(0.5) ? 1.0 : 0.0);
  }

  void RandomiseAll(Random& rnd, double thresholdOffChance) {
    for (int b = 0; b < kNumMorvanteBands; ++b) RandomiseBand(rnd, b, thresholdOffChance);
    Set(kOutput, rnd.Uniform(-12.0, 12.0));
  }

  // Runs one block through both and compares everything they produced.
  void Run(const std::vector<double>& left, const std::vector<double>& right, bool rightConnected = true) {
    const int n = static_cast<int>(left.size());
    std::vector<double> plugL = left, plugR = right;
    std::vector<double> refL(n), refR(n);
    if (rightConnected) {
      plug.ProcessInPlace(plugL, plugR);
    } else {
      RunMonoThroughFrame(plugL);
    }
    const double* refIn[2] = {left.data(), right.data()};
    double* refOut[2] = {refL.data(), refR.data()};
    ref.Process(refIn, refOut, n);

    ++blocks;
    // An empty block's vectors may have no storage at all.
    if (n > 0) {
      ASSERT_EQ(std::memcmp(plugL.data(), refL.data(), n * sizeof(double)), 0) << FirstDifference(plugL, refL);
    }
    if (rightConnected && n > 0) {
      ASSERT_EQ(std::memcmp(plugR.data(), refR.data(), n * sizeof(double)), 0) << FirstDifference(plugR, refR);
    }
    if (graphics) {
      // The meters step at every sample; each band publishes the value the
      // block ends with, for the control that shows it.
      ASSERT_EQ(ref.meterLog.size(), static_cast<size_t>(n) * kNumMorvanteBands);
      const size_t last = ref.meterLog.size() - (n > 0 ? kNumMorvanteBands : 0);
      for (size_t k = last; k < ref.meterLog.size(); ++k) {
        const ReferenceMorvante::MeterUpdate& expected = ref.meterLog[k];
        const PublishedMeter published = Published(plug, plug.Band(expected.band).meterIdx);
        ASSERT_EQ(published.controlIdx, kMeterControl[expected.band]);
        ASSERT_EQ(std::memcmp(&published.value, &expected.value, sizeof(double)), 0) << "meter update " << k;
      }
      ref.meterLog.clear();
    }
  }

  TestMorvante plug;
  ReferenceMorvante ref;
  MeterRecordingGraphics* graphics = nullptr;
  int blocks = 0;

private:
  // Only the left channel connected: the frame hands the effect a silent
  // scratch buffer for the right one and discards its right output.
  void RunMonoThroughFrame(std::vector<double>& left) {
    const int n = static_cast<int>(left.size());
    if (plug.GetBlockSize() < n) plug.SetBlockSize(4096);
    plug.SetInputChannelConnections(0, 1, true);
    plug.SetInputChannelConnections(1, 1, false);
    plug.SetOutputChannelConnections(0, 1, true);
    plug.SetOutputChannelConnections(1, 1, false);
    std::vector<double> in = left;
    double* inPtr[1] = {in.data()};
    double* outPtr[1] = {left.data()};
    plug.AttachInputBuffers(0, 2, inPtr);
    plug.AttachOutputBuffers(0, 2, outPtr);
    plug.ProcessBuffers(0.0, n);
  }

  static std::string FirstDifference(const std::vector<double>& a, const std::vector<double>& b) {
    for (size_t i = 0; i < a.size(); ++i) {
      if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
        char text[160];
        std::snprintf(text, sizeof(text), "first difference at frame %zu: %.17g vs %.17g", i, a[i], b[i]);
        return text;
      }
    }
    return "";
  }
};

constexpr int kBlockSizes[] = {1, 2, 3, 17, 64, 256, 1000, 4096, 5, 128};

// Settings change between blocks in every way the host can change them.
void RunVaried(double sampleRate, bool editor, bool stereo, double seconds, uint32_t seed, int registerBits = 256) {
  Pair pair(sampleRate, editor);
  pair.plug.UseRegisterWidth(registerBits);
  Random rnd(seed);
  ProgramSignal signal(sampleRate, seed);
  pair.RandomiseAll(rnd, 0.15);
  const int total = static_cast<int>(seconds * kTestRunScale * sampleRate);
  int done = 0, blockIdx = 0;
  while (done < total) {
    const int n = std::min(total - done, kBlockSizes[blockIdx++ % 10]);
    std::vector<double> left(n), right(n);
    signal.Fill(left.data(), right.data(), n);
    if (!stereo) std::fill(right.begin(), right.end(), 0.0);
    pair.Run(left, right, stereo);
    if (::testing::Test::HasFatalFailure()) return;
    done += n;

    if (rnd.Chance(0.3)) {
      const int b = rnd.Index(kNumMorvanteBands);
      pair.RandomiseBand(rnd, b, 0.2);
    }
    if (rnd.Chance(0.1)) pair.SetLive(kBypass, pair.plug.GetParam(kBypass)->Value() == 0.0 ? 1.0 : 0.0);
    if (rnd.Chance(0.05)) pair.RandomiseAll(rnd, 0.1);
  }
  EXPECT_GT(pair.blocks, 10);
}

TEST(MorvanteReference, StereoAt44100) { RunVaried(44100.0, true, true, 4.0, 101); }
TEST(MorvanteReference, StereoAt48000) { RunVaried(48000.0, true, true, 4.0, 202); }
TEST(MorvanteReference, StereoAt96000WithoutEditor) { RunVaried(96000.0, false, true, 3.0, 303); }
TEST(MorvanteReference, MonoThroughTheFrameAt48000) { RunVaried(48000.0, true, false, 3.0, 404); }
// Where the processor has AVX the chain runs two sections per register; the
// narrower form must give the same bits.
TEST(MorvanteReference, StereoAt48000On128BitRegisters) { RunVaried(48000.0, true, true, 3.0, 505, 128); }
TEST(MorvanteReference, MonoAt44100On128BitRegisters) { RunVaried(44100.0, false, false, 2.0, 606, 128); }

// Automation points inside blocks, as a binding delivers them: the frame
// runs each piece BlockPieces cuts after applying its changes; the oracle
// runs the pieces the merging rule gives, literally, with the changes at
// their starts.
TEST(MorvanteReference, PointsInsideBlocksThroughTheFrame) {
  struct Point {
    int offset, paramIdx;
    double value;
  };
  const double rate = 48000.0;
  Pair pair(rate, false);
  Random rnd(1212);
  pair.RandomiseAll(rnd, 0.0);
  ProgramSignal signal(rate, 1212);
  pair.plug.SetBlockSize(1024);
  pair.plug.SetInputChannelConnections(0, 2, true);
  pair.plug.SetOutputChannelConnections(0, 2, true);
  auto pieces = std::make_unique<BlockPieces>();
  for (int block = 0; block < static_cast<int>(200 * kTestRunScale) + 10; ++block) {
    const int n = 1 + rnd.Index(1024);
    std::vector<Point> points;
    for (int k = rnd.Index(12); k > 0; --k) {
      const int b = rnd.Index(kNumMorvanteBands);
      const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
      const int params[] = {layout.gainParam, layout.frequencyParam, layout.thresholdParam, layout.ratioParam,
                            layout.attackParam, layout.modeParam, kOutput, kBypass};
      const int paramIdx = params[rnd.Index(8)];
      const IParam* p = pair.plug.GetParam(paramIdx);
      const double value = paramIdx == kBypass || paramIdx == layout.modeParam ? (rnd.Chance(0.5) ? 1.0 : 0.0)
                                                                                : rnd.Uniform(p->Min(), p->Max());
      points.push_back({rnd.Index(n), paramIdx, value});
    }
    std::vector<double> left(n), right(n);
    signal.Fill(left.data(), right.data(), n);

    std::vector<double> plugL(n), plugR(n), refL(n), refR(n);
    double* in[2] = {left.data(), right.data()};
    double* out[2] = {plugL.data(), plugR.data()};
    pair.plug.AttachInputBuffers(0, 2, in);
    pair.plug.AttachOutputBuffers(0, 2, out);
    pieces->Begin(n);
    for (const Point& p : points) pieces->Add(p.offset, static_cast<uint32_t>(p.paramIdx), p.value);
    pieces->Cut();
    for (int k = 0; k < pieces->NPieces(); ++k) {
      const BlockPieces::Piece piece = pieces->GetPiece(k);
      for (int c = 0; c < piece.nChanges; ++c)
        pair.plug.SetParam(static_cast<int>(piece.changes[c].tag), piece.changes[c].value);
      pair.plug.ProcessBufferRange(0.0, piece.start, piece.frames, false);
    }

    // A piece starts at each offset at least 16 samples after the last
    // start; each takes the points from its start up to the next.
    std::stable_sort(points.begin(), points.end(), [](const Point& a, const Point& b) { return a.offset < b.offset; });
    std::vector<int> starts{0};
    for (const Point& p : points)
      if (p.offset - starts.back() >= 16) starts.push_back(p.offset);
    for (size_t k = 0; k < starts.size(); ++k) {
      const int from = starts[k], to = k + 1 < starts.size() ? starts[k + 1] : n;
      for (const Point& p : points)
        if (p.offset >= from && p.offset < to) pair.ref.SetParameter(p.paramIdx, p.value);
      const double* refIn[2] = {left.data() + from, right.data() + from};
      double* refOut[2] = {refL.data() + from, refR.data() + from};
      pair.ref.Process(refIn, refOut, to - from);
    }
    ASSERT_EQ(std::memcmp(plugL.data(), refL.data(), n * sizeof(double)), 0) << "block " << block;
    ASSERT_EQ(std::memcmp(plugR.data(), refR.data(), n * sizeof(double)), 0) << "block " << block;
  }
}

// Attack and release extremes, including a coefficient of 0 (no time at
// all), which the parameter ranges cannot reach: the copies are set
// directly on both sides.
TEST(MorvanteReference, AttackAndReleaseExtremes) {
  const double rate = 44100.0;
  Pair pair(rate, true);
  Random rnd(505);
  pair.RandomiseAll(rnd, 0.0);
  const double attacks[kNumMorvanteBands] = {0.0, 1.0, 50.0, 0.0, 1.0};
  const double releases[kNumMorvanteBands] = {0.0, 30.0, 3000.0, 30.0, 0.0};
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    pair.plug.Band(b).attack = pair.ref.band[b].attack = attacks[b];
    pair.plug.Band(b).release = pair.ref.band[b].release = releases[b];
  }
  ProgramSignal signal(rate, 505);
  const int total = static_cast<int>(3.0 * kTestRunScale * rate);
  for (int done = 0, k = 0; done < total; ++k) {
    const int n = std::min(total - done, kBlockSizes[k % 10]);
    std::vector<double> left(n), right(n);
    signal.Fill(left.data(), right.data(), n);
    pair.Run(left, right);
    if (HasFatalFailure()) return;
    done += n;
  }
}

// Every band boosted, then every band cut, at the top of the threshold
// range so that all of them work all the time.
TEST(MorvanteReference, AllBoostedThenAllCut) {
  const double rate = 48000.0;
  Pair pair(rate, false);
  ProgramSignal signal(rate, 606);
  for (double gain : {18.0, -18.0}) {
    for (int b = 0; b < kNumMorvanteBands; ++b) {
      const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
      pair.Set(layout.gainParam, gain);
      pair.Set(layout.thresholdParam, 60.0);
      pair.Set(layout.ratioParam, 20.0);
    }
    const int total = static_cast<int>(1.0 * kTestRunScale * rate);
    for (int done = 0; done < total;) {
      const int n = std::min(total - done, 480);
      std::vector<double> left(n), right(n);
      signal.Fill(left.data(), right.data(), n);
      pair.Run(left, right);
      if (HasFatalFailure()) return;
      done += n;
    }
  }
}

// Non-finite input and the state clearing that follows go the same way.
TEST(MorvanteReference, NonFiniteInputAndRecovery) {
  const double rate = 44100.0;
  Pair pair(rate, true);
  Random rnd(707);
  pair.RandomiseAll(rnd, 0.0);
  ProgramSignal signal(rate, 707);
  for (int k = 0; k < 12; ++k) {
    std::vector<double> left(300), right(300);
    signal.Fill(left.data(), right.data(), 300);
    if (k == 2) left[17] = std::nan("");
    if (k == 5) right[100] = HUGE_VAL;
    if (k == 8) left[0] = -HUGE_VAL;
    pair.Run(left, right);
    if (HasFatalFailure()) return;
  }
}

// The processing runs both channels in the two lanes of one register and
// the oversampled chain in chunks: block sizes around and across every
// width it works in, with settings changing between blocks.
TEST(MorvanteReferenceVectorPath, BlockSizesAroundTheChunkAndLaneWidths) {
  const double rate = 48000.0;
  for (int bits : {256, 128}) {
    Pair pair(rate, true);
    pair.plug.UseRegisterWidth(bits);
    Random rnd(808);
    pair.RandomiseAll(rnd, 0.0);
    ProgramSignal signal(rate, 808);
    std::vector<int> sizes;
    for (int n = 0; n <= 70; ++n) sizes.push_back(n);
    for (int n : {95, 96, 97, 127, 128, 129, 255, 256, 257, 511, 512, 513, 4095}) sizes.push_back(n);
    for (int n : sizes) {
      std::vector<double> left(n), right(n);
      signal.Fill(left.data(), right.data(), n);
      pair.Run(left, right);
      if (HasFatalFailure()) return;
      if (rnd.Chance(0.2)) pair.RandomiseBand(rnd, rnd.Index(kNumMorvanteBands), 0.1);
    }
  }
}

// One lane silent while the other carries the programme, either way round,
// in stereo and with the second channel left to the frame.
TEST(MorvanteReferenceVectorPath, OneChannelSilent) {
  const double rate = 44100.0;
  for (int silent = 0; silent < 2; ++silent) {
    Pair pair(rate, true);
    Random rnd(909 + silent);
    pair.RandomiseAll(rnd, 0.0);
    ProgramSignal signal(rate, 909);
    for (int k = 0; k < 40; ++k) {
      const int n = kBlockSizes[k % 10] + 13;
      std::vector<double> left(n), right(n);
      signal.Fill(left.data(), right.data(), n);
      std::fill((silent ? right : left).begin(), (silent ? right : left).end(), 0.0);
      pair.Run(left, right);
      if (HasFatalFailure()) return;
    }
  }
  Pair mono(rate, false);
  Random rnd(911);
  mono.RandomiseAll(rnd, 0.0);
  ProgramSignal signal(rate, 911);
  for (int k = 0; k < 40; ++k) {
    const int n = kBlockSizes[k % 10] + 7;
    std::vector<double> left(n), right(n, 0.0), unused(n);
    signal.Fill(left.data(), unused.data(), n);
    mono.Run(left, right, false);
    if (HasFatalFailure()) return;
  }
}

// Bursts of NaN and infinities in one lane, the other or both, starting and
// ending anywhere in a chunk; NaN bits must match too, and both sides must
// recover alike at the next block. Some blocks end with a chunk of a few
// samples, which keeps part of the history of the chunk before.
TEST(MorvanteReferenceVectorPath, NonFiniteBursts) {
  const double rate = 48000.0;
  Pair pair(rate, true);
  Random rnd(1010);
  pair.RandomiseAll(rnd, 0.0);
  ProgramSignal signal(rate, 1010);
  const double kinds[] = {std::nan(""), -std::nan(""), HUGE_VAL, -HUGE_VAL};
  for (int k = 0; k < 120; ++k) {
    // Every register width, changing between blocks.
    pair.plug.UseRegisterWidth(128 << (k % 2));
    constexpr int kChunk = OversampledStereoChain::kChunk;
    const bool shortLastChunk = k % 4 == 1;
    const int n = shortLastChunk ? kChunk + 1 + rnd.Index(3) : 1 + rnd.Index(150);
    std::vector<double> left(n), right(n);
    signal.Fill(left.data(), right.data(), n);
    if (k % 3 == 1 || shortLastChunk) {
      // Just before the short chunk, where it may or may not push the burst
      // out of the history.
      const int start = shortLastChunk ? kChunk - 1 - rnd.Index(6) : rnd.Index(n);
      const int length = shortLastChunk ? 1 : 1 + rnd.Index(40);
      const double bad = kinds[rnd.Index(4)];
      const int lanes = rnd.Index(3);  // left, right or both
      for (int i = start; i < std::min(n, start + length); ++i) {
        if (lanes != 1) left[i] = bad;
        if (lanes != 0) right[i] = bad;
      }
    }
    pair.Run(left, right);
    if (HasFatalFailure()) return;
  }
}

// Subnormal numbers are flushed to zero while the effect processes (they
// cost many times a normal number on some processors). A filter decaying in
// silence after a loud passage is where they arise: there the output may
// differ from the per-sample form, but only in samples that are below the
// smallest normal single-precision number on both sides, and not once the
// programme is back. Subnormal input samples go the same way.
TEST(MorvanteReferenceVectorPath, SubnormalsOnlyDifferBelowTheNormalRange) {
  const double rate = 48000.0;
  Pair pair(rate, false);
  Random rnd(1111);
  pair.RandomiseAll(rnd, 0.0);
  ProgramSignal signal(rate, 1111);
  const int kBlock = 4800;
  int differing = 0;
  for (int k = 0; k < static_cast<int>(90 * kTestRunScale) + 20; ++k) {
    const bool silent = k >= 10 && k < 10 + static_cast<int>(90 * kTestRunScale);
    const bool lastSecond = k >= 10 + static_cast<int>(90 * kTestRunScale);
    std::vector<double> left(kBlock), right(kBlock);
    signal.Fill(left.data(), right.data(), kBlock);
    if (silent) {
      std::fill(left.begin(), left.end(), 0.0);
      std::fill(right.begin(), right.end(), 0.0);
      if (k % 7 == 3) left[17] = right[99] = 4.9e-324;
      if (k % 7 == 5) left[1000] = -2.2e-308;
    }
    std::vector<double> plugL = left, plugR = right, refL(kBlock), refR(kBlock);
    pair.plug.ProcessInPlace(plugL, plugR);
    const double* refIn[2] = {left.data(), right.data()};
    double* refOut[2] = {refL.data(), refR.data()};
    pair.ref.Process(refIn, refOut, kBlock);
    for (int i = 0; i < kBlock; ++i) {
      for (const auto& [p, r] : {std::make_pair(plugL[i], refL[i]), std::make_pair(plugR[i], refR[i])}) {
        if (std::memcmp(&p, &r, sizeof(double)) == 0) continue;
        ++differing;
        ASSERT_FALSE(lastSecond) << "block " << k << " frame " << i << ": " << p << " vs " << r;
        ASSERT_LT(std::fabs(r), 1.1754943508222875e-38) << "block " << k << " frame " << i;
        ASSERT_LT(std::fabs(p), 1.1754943508222875e-38) << "block " << k << " frame " << i;
      }
    }
  }
  // The decay does reach the subnormal range; otherwise this proves nothing.
  EXPECT_GT(differing, 0);
}

}  // namespace

namespace {

// Settings whose filters all ring down to rest well within the silence: no
// band below 1 kHz, Q from 1 to 1.5, and no static cut deeper than 12 dB,
// whose slow pole would ring for seconds.
// Random settings with short releases; with `quick`, high bands with wide
// bandwidths, which come to rest soon after the music stops. Otherwise the
// default frequencies and bandwidths, where the Low band's detector rings on
// well after the chain has come to rest.
void ToRest(Pair& pair, Random& rnd, bool quick) {
  pair.RandomiseAll(rnd, 0.1);
  for (int b = 0; b < kNumMorvanteBands; ++b) {
    const MorvanteBandLayout& layout = kMorvanteBandLayouts[b];
    const IParam* frequency = pair.plug.GetParam(layout.frequencyParam);
    const IParam* bandwidth = pair.plug.GetParam(layout.bandwidthParam);
    pair.Set(layout.frequencyParam,
             quick ? std::max(1000.0, rnd.Uniform(frequency->Min(), frequency->Max())) : frequency->Default());
    pair.Set(layout.bandwidthParam, quick ? rnd.Uniform(-1.5, -1.0) : bandwidth->Default());
    pair.Set(layout.gainParam, rnd.Uniform(12.0, 24.0));
    // Released within the silence, so that the meters also fall on alone.
    pair.Set(layout.releaseParam, rnd.Uniform(5.0, 300.0));
  }
}

}  // namespace

// Programme, a long digital silence, programme again, in blocks of every
// size and with the bypass switch flipping: the silence passed from rest
// without the chain must leave every output, meter and state as processing
// it would, so that the programme comes back the same bits.
TEST(MorvanteReferenceAtRest, SilenceBetweenPassagesMatchesAtEveryWidth) {
  const ScopedFlushDenormals flush;
  const double rate = 48000.0;
  const int sizes[] = {1, 7, 64, 100, 512, 3, 2048, 65, 2};
  const struct {
    int bits;
    bool quick;
  } cases[] = {{256, true}, {128, true}, {256, false}};
  for (const auto& [bits, quick] : cases) {
    Pair pair(rate, true);
    pair.plug.UseRegisterWidth(bits);
    Random rnd(1212 + bits);
    ToRest(pair, rnd, quick);
    ProgramSignal signal(rate, 1212);
    const int loud = static_cast<int>(0.3 * rate), silent = static_cast<int>(1.5 * rate);
    int done = 0, k = 0;
    while (done < 2 * loud + silent) {
      const int n = std::min(2 * loud + silent - done, sizes[k++ % 9]);
      std::vector<double> left(n), right(n);
      signal.Fill(left.data(), right.data(), n);
      for (int i = 0; i < n; ++i) {
        if (done + i >= loud && done + i < loud + silent) left[i] = right[i] = 0.0;
      }
      pair.Run(left, right);
      if (HasFatalFailure()) return;
      done += n;
      if (k % 40 == 0) pair.SetLive(kBypass, pair.plug.GetParam(kBypass)->Value() == 0.0 ? 1.0 : 0.0);
      // A setting changed in the silence re-tunes everything at rest.
      if (k == 200) pair.RandomiseBand(rnd, kBandHighMid, 0.0);
    }
    // Most of the silence was passed from rest, or this proves nothing.
    EXPECT_GT(pair.plug.FramesRestedThrough(), silent / 2) << bits;
    // With the default bands the chain rests first and the detectors ring
    // on alone for a while.
    if (!quick) {
      EXPECT_GT(pair.plug.FramesRungDown(), rate / 20);
    }
  }
}
