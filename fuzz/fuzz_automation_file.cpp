// Arbitrary text as the automation file of morvante-process, its
// parameters and values resolved by the tool's host on the real plug-in.
// The first byte picks the sample rate and the block size. What the reader
// accepts must give sorted lanes of normalised values at frames of the
// timeline, and blocks of queue points inside the block, in order.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/offline_host_fuzz.h"
#include "tools/automation.h"

using hostfuzz::Require;

namespace {
constexpr double kRates[] = {8000.0, 44100.0, 48000.0, 384000.0};
constexpr int kBlocks[] = {1, 64, 512, 8192};
// The reader's limit on times, in seconds.
constexpr double kLongestSeconds = 1e7;
// Blocks looked at around each point, for at most this many points a lane.
constexpr size_t kCheckedPoints = 8;

void CheckBlock(const Automation& automation, long pos, int n, bool firstBlock) {
  ParamChanges changes;
  automation.AddPoints(pos, n, firstBlock, changes);
  for (Steinberg::int32 q = 0; q < changes.getParameterCount(); ++q) {
    Steinberg::Vst::IParamValueQueue* queue = changes.getParameterData(q);
    Require(queue != nullptr);
    Steinberg::int32 previous = -1;
    for (Steinberg::int32 i = 0; i < queue->getPointCount(); ++i) {
      Steinberg::int32 offset = 0;
      Steinberg::Vst::ParamValue value = 0.0;
      Require(queue->getPoint(i, offset, value) == Steinberg::kResultOk);
      Require(offset > previous && offset < n);
      Require(value >= 0.0 && value <= 1.0);
      previous = offset;
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  hostfuzz::Host();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const double rate = kRates[data[0] & 3];
  const int block = kBlocks[(data[0] >> 2) & 3];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  Automation automation;
  std::string error;
  if (!automation.Parse(text, "fuzz.txt", rate, hostfuzz::Host().AutomationResolver(), error)) {
    Require(!error.empty());
    return 0;
  }
  const long lastFrame = static_cast<long>(kLongestSeconds * rate) + 1;
  for (size_t l = 0; l < automation.Lanes().size(); ++l) {
    const AutomationLane& lane = automation.Lanes()[l];
    Require(!lane.points.empty());
    for (size_t other = 0; other < l; ++other) Require(automation.Lanes()[other].id != lane.id);
    for (size_t p = 0; p < lane.points.size(); ++p) {
      Require(lane.points[p].first >= 0 && lane.points[p].first <= lastFrame);
      Require(lane.points[p].second >= 0.0 && lane.points[p].second <= 1.0);
      if (p) Require(lane.points[p - 1].first <= lane.points[p].first);
    }
    for (size_t p = 0; p < lane.points.size() && p < kCheckedPoints; ++p) {
      const long frame = lane.points[p].first;
      CheckBlock(automation, frame - block / 2, block, false);
      CheckBlock(automation, frame, block, p == 0);
      CheckBlock(automation, frame - block, block, false);
    }
  }
  CheckBlock(automation, -block, block, true);
  CheckBlock(automation, 0, block, true);
  return 0;
}
