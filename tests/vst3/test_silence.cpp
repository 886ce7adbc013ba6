// Silence through the bundle: a loud passage, two seconds of digital
// silence, the passage again. The output must be the per-sample oracle's
// bit for bit all through (the effect passes most of the silence without
// its chain), every all-zero output block must be flagged silent and no
// other, and a host's silence flag on an input that is not silent must
// change nothing.
#include <cstring>
#include <memory>

#include "effect/morvante.h"
#include "effect/scoped_flush_denormals.h"
#include "tests/effect/reference_morvante.h"
#include "tests/effect/test_signal.h"
#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using vst3test::BusBuffers;
using vst3test::MakeBlock;
using vst3test::Vst3Test;

namespace {

// Every band working: (index, normalised value) in host terms.
constexpr struct {
  ParamID id;
  double normalized;
} kSettings[] = {
    {13, 0.45}, {10, 0.5}, {34, 0.6}, {24, 0.4}, {32, 0.55},  // thresholds
    {3, 0.6},   {7, 0.4},  {17, 0.65}, {21, 0.45}, {29, 0.6}, // gains
    {11, 0.5},  {8, 0.7},  {36, 0.4}, {22, 0.5}, {30, 0.8},   // ratios
    {33, 0.55},                                               // output
};

}  // namespace

class Vst3Silence : public Vst3Test {
protected:
  template <class T>
  void Run(int32 sampleSize, double rate, bool bypass);
};

template <class T>
void Vst3Silence::Run(int32 sampleSize, double rate, bool bypass) {
  SCOPED_TRACE(::testing::Message() << (sizeof(T) * 8) << " bit, " << rate << " Hz, bypass " << bypass);
  constexpr int kBlock = 512;
  std::unique_ptr<PluginInstance> plug = MakeInstance();
  ASSERT_EQ(SetUpProcessing(*plug, sampleSize, kBlock, rate), kResultOk);
  ASSERT_EQ(plug->component->setActive(true), kResultOk);

  // The oracle takes the plain values the effect's own records give the
  // host's normalised ones.
  MORVANTE* values = new MORVANTE(IPlugInstanceInfo());
  ReferenceMorvante ref;
  ref.SetSampleRate(rate);
  TestParamChanges changes;
  for (const auto& s : kSettings) {
    changes.Add(s.id, s.normalized);
    values->GetParam(static_cast<int>(s.id))->SetNormalized(s.normalized);
  }
  changes.Add(kBypass, bypass ? 1.0 : 0.0);
  values->GetParam(kBypass)->SetNormalized(bypass ? 1.0 : 0.0);
  for (int i = 0; i < kNumMorvanteParams; ++i) ref.SetParameter(i, values->GetParam(i)->Value());
  values->release();

  const double scale = kTestRunScale < 1.0 ? 0.25 : 1.0;
  const long loud = static_cast<long>(scale * rate), silent = 2 * loud, total = 2 * loud + silent;
  ProgramSignal signal(rate, 2026);
  BusBuffers<T> in(2, kBlock), out(2, kBlock);
  std::vector<double> refL(kBlock), refR(kBlock), inL(kBlock), inR(kBlock);
  int silentBlocks = 0, wrongFlags = 0;
  for (long done = 0, block = 0; done < total; done += kBlock, ++block) {
    const int n = static_cast<int>(std::min<long>(kBlock, total - done));
    signal.Fill(inL.data(), inR.data(), n);
    for (int i = 0; i < n; ++i) {
      const bool quiet = done + i >= loud && done + i < loud + silent;
      in.data[0][i] = quiet ? T(0) : static_cast<T>(2.0 * inL[i]);
      in.data[1][i] = quiet ? T(0) : static_cast<T>(2.0 * inR[i]);
      inL[i] = static_cast<double>(in.data[0][i]);
      inR[i] = static_cast<double>(in.data[1][i]);
    }
    AudioBusBuffers inBus, outBus;
    ProcessData data = MakeBlock(in, out, inBus, outBus, n, block == 0 ? &changes : nullptr);
    // A careless host's flag on a loud block.
    const bool wrongFlag = done < loud && block % 3 == 1;
    if (wrongFlag) inBus.silenceFlags = 3, ++wrongFlags;
    ASSERT_EQ(plug->processor->process(data), kResultOk);
    {
      const ScopedFlushDenormals flush;
      const double* refIn[2] = {inL.data(), inR.data()};
      double* refOut[2] = {refL.data(), refR.data()};
      ref.Process(refIn, refOut, n);
    }
    for (int ch = 0; ch < 2; ++ch) {
      const std::vector<double>& expected = ch == 0 ? refL : refR;
      bool allZero = true;
      for (int i = 0; i < n; ++i) {
        const T want = static_cast<T>(expected[i]);
        ASSERT_EQ(std::memcmp(&out.data[ch][i], &want, sizeof(T)), 0)
            << "block " << block << " channel " << ch << " frame " << i << ": " << out.data[ch][i] << " vs " << want;
        allZero = allZero && out.data[ch][i] == T(0);
      }
      ASSERT_EQ((outBus.silenceFlags >> ch) & 1, allZero ? 1u : 0u) << "block " << block << " channel " << ch;
      if (allZero && ch == 0) ++silentBlocks;
    }
  }
  // Most of the silence came out flagged, and the flags were tried.
  EXPECT_GT(silentBlocks, silent / kBlock / 2);
  EXPECT_GT(wrongFlags, 0);
  plug->component->setActive(false);
}

TEST_F(Vst3Silence, SilenceBetweenLoudPassagesIsTheOraclesAndFlagged) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    for (bool bypass : {false, true}) {
      Run<double>(kSample64, rate, bypass);
      if (HasFatalFailure()) return;
      Run<float>(kSample32, rate, bypass);
      if (HasFatalFailure()) return;
    }
  }
}
