// The parts of morvante-process that stand alone: the automation's queue
// points per block, and the preset file reader against hostile bytes.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/automation.h"
#include "tools/preset_file.h"

using Steinberg::int32;
using Steinberg::Vst::ParamID;
using Steinberg::Vst::ParamValue;

namespace {
// "Output" is id 7; its values are taken as normalised numbers.
bool Resolve(const std::string& assignment, ParamID& id, double& normalized, std::string& error) {
  const size_t eq = assignment.find('=');
  if (assignment.substr(0, eq) != "Output") {
    error = "unknown";
    return false;
  }
  id = 7;
  normalized = std::stod(assignment.substr(eq + 1));
  return true;
}

std::vector<std::pair<int32, ParamValue>> Points(const Automation& automation, long pos, int n) {
  ParamChanges changes;
  automation.AddPoints(pos, n, pos == 0, changes);
  std::vector<std::pair<int32, ParamValue>> points;
  if (changes.getParameterCount() == 0) return points;
  EXPECT_EQ(changes.getParameterCount(), 1);
  auto* queue = changes.getParameterData(0);
  EXPECT_EQ(queue->getParameterId(), 7u);
  for (int32 i = 0; i < queue->getPointCount(); ++i) {
    int32 offset = 0;
    ParamValue value = 0;
    queue->getPoint(i, offset, value);
    points.emplace_back(offset, value);
  }
  return points;
}
}  // namespace

TEST(AutomationPoints, BreakpointsLandInsideBlocksAtTheirSamples) {
  Automation automation;
  std::string error;
  // At 1000 Hz: 0.5 until frame 100, a ramp to 1 at frame 300, a step to
  // 0 at frame 400.
  ASSERT_TRUE(automation.Parse("0.1 Output 0.5\n0.3 Output 1\n0.4 Output 1\n0.4 Output 0\n", "a", 1000.0, Resolve,
                               error))
      << error;
  using P = std::vector<std::pair<int32, ParamValue>>;
  const auto ramp = [](long frame) { return 0.5 + 0.5 * static_cast<double>(frame - 100) / 200.0; };
  EXPECT_EQ(Points(automation, 0, 64), (P{{0, 0.5}}));
  // The ramp's start at its own sample, then a step every 16 frames of the
  // timeline.
  EXPECT_EQ(Points(automation, 64, 64), (P{{36, 0.5}, {48, ramp(112)}}));
  EXPECT_EQ(Points(automation, 192, 64), (P{{0, ramp(192)}, {16, ramp(208)}, {32, ramp(224)}, {48, ramp(240)}}));
  // No step in the 16 frames before the ramp's top (288 would merge into
  // it); the top and the step down at their own samples.
  const P around = Points(automation, 256, 192);
  EXPECT_EQ(around, (P{{0, ramp(256)}, {16, ramp(272)}, {44, 1.0}, {144, 0.0}}));
  // Blocks end before a breakpoint that would fall into their first 16
  // frames.
  EXPECT_EQ(automation.BlockLength(90, 64), 10);
  EXPECT_EQ(automation.BlockLength(84, 64), 64);
  EXPECT_EQ(automation.BlockLength(100, 64), 64);
  EXPECT_EQ(automation.BlockLength(95, 4), 4);
  // A render whose timeline starts before the automation's (a delay being
  // made up for) starts from the first value.
  ParamChanges early;
  automation.AddPoints(-3, 64, true, early);
  ASSERT_EQ(early.getParameterCount(), 1);
  int32 offset = -1;
  ParamValue value = 0;
  ASSERT_EQ(early.getParameterData(0)->getPoint(0, offset, value), Steinberg::kResultOk);
  EXPECT_EQ(offset, 0);
  EXPECT_EQ(value, 0.5);
}

TEST(AutomationPoints, LinesAreReadAsAUserWritesThem) {
  Automation automation;
  std::string error;
  ASSERT_TRUE(automation.Parse("# comment\r\n\r\n  0\tOutput   0.25  \r\n", "a", 48000.0, Resolve, error)) << error;
  ASSERT_EQ(automation.Lanes().size(), 1u);
  EXPECT_EQ(automation.Lanes()[0].points, (std::vector<std::pair<long, double>>{{0, 0.25}}));
  for (const char* bad : {"1\n", "1 Output\n", "nan Output 1\n", "1e300 Output 1\n", "1 Nothing 1\n"}) {
    Automation other;
    EXPECT_FALSE(other.Parse(bad, "a", 48000.0, Resolve, error)) << bad;
    EXPECT_NE(error.find("automation file 'a' line 1: "), std::string::npos) << error;
  }
}

TEST(PresetFiles, RoundTripAndRefuseEveryCut) {
  PresetFile preset;
  preset.classId = "0123456789ABCDEF0123456789ABCDEF";
  preset.hasComponent = true;
  preset.component = std::string("comp\0bytes", 10);
  preset.hasController = true;
  preset.controller = "controller";
  const std::string bytes = WritePresetFile(preset);
  PresetFile back;
  std::string error;
  ASSERT_TRUE(ReadPresetFile(bytes, back, error)) << error;
  EXPECT_EQ(back.classId, preset.classId);
  EXPECT_EQ(back.component, preset.component);
  EXPECT_EQ(back.controller, preset.controller);
  // Every shorter file is refused, never read past its end.
  for (size_t n = 0; n < bytes.size(); ++n) EXPECT_FALSE(ReadPresetFile(bytes.substr(0, n), back, error)) << n;
  // Every single byte changed either reads or is refused cleanly.
  for (size_t i = 0; i < bytes.size(); ++i)
    for (int bit = 0; bit < 8; ++bit) {
      std::string damaged = bytes;
      damaged[i] = static_cast<char>(damaged[i] ^ (1 << bit));
      ReadPresetFile(damaged, back, error);
    }
}
