// The state a host keeps in its project: the VST3 component's bytes, saved
// and restored through the state interface and through lilv, and hostile
// chunks refused or clamped as the VST3 path does them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/lv2/host/lv2_test_host.h"
#include "tests/lv2/vst3_reference.h"

using namespace lv2test;

namespace {
constexpr size_t kStateSize = 43 * sizeof(double) + sizeof(int32_t);

void PutDouble(std::vector<uint8_t>& bytes, int idx, double value) {
  std::memcpy(bytes.data() + static_cast<size_t>(idx) * sizeof(double), &value, sizeof value);
}

// An instance set up with every band pulling down, a block run.
std::unique_ptr<Lv2Plugin> EditedInstance(const Channels& in) {
  auto plug = std::make_unique<Lv2Plugin>(kStereoUri, 48000.0);
  for (const Setting& s : EveryBandPullsDown()) plug->Set(s.symbol, s.value);
  plug->Process(in, 512);
  return plug;
}
}  // namespace

TEST(Lv2State, TheStateIsTheVst3ComponentsBytesAndRestoresExactly) {
  const Channels in = TestSignal(2, 2048, 48000.0);
  auto edited = EditedInstance(in);
  std::vector<uint8_t> saved;
  LV2_URID type = 0;
  ASSERT_EQ(edited->SaveRaw(saved, &type), LV2_STATE_SUCCESS);
  EXPECT_EQ(type, StateType());
  ASSERT_EQ(saved.size(), kStateSize);
  // The VST3 component takes the same bytes and gives them back unchanged.
  EXPECT_EQ(Vst3StateAfterRestore(saved), saved);
  double lowGain = 0.0;
  std::memcpy(&lowGain, saved.data() + 17 * sizeof(double), sizeof lowGain);
  EXPECT_DOUBLE_EQ(lowGain, 12.0);

  // A new instance whose ports a host leaves at their defaults keeps the
  // restored values, and sounds as an instance set through its ports does.
  Lv2Plugin restored(kStereoUri, 48000.0);
  ASSERT_EQ(restored.RestoreRaw(saved.data(), saved.size(), StateType()), LV2_STATE_SUCCESS);
  Lv2Plugin reference(kStereoUri, 48000.0);
  for (const Setting& s : EveryBandPullsDown()) reference.Set(s.symbol, s.value);
  const Channels a = restored.Process(in, 333), b = reference.Process(in, 333);
  EXPECT_EQ(a, b);
  EXPECT_EQ(restored.StateBytes(), saved);

  // Through lilv, port values and all, as a host saves and loads a project.
  LilvState* state = edited->SaveLilvState();
  ASSERT_NE(state, nullptr);
  char* text = lilv_state_to_string(World().World(), World().MapFeature(), World().UnmapFeature(), state,
                                    "urn:morvante:test", nullptr);
  LilvState* reread = lilv_state_new_from_string(World().World(), World().MapFeature(), text);
  ASSERT_NE(reread, nullptr);
  Lv2Plugin loaded(kStereoUri, 48000.0);
  loaded.RestoreLilvState(reread);
  EXPECT_EQ(loaded.Get("low_gain"), 12.0f);
  Lv2Plugin again(kStereoUri, 48000.0);
  for (const Setting& s : EveryBandPullsDown()) again.Set(s.symbol, s.value);
  EXPECT_EQ(loaded.Process(in, 512), again.Process(in, 512));
  EXPECT_EQ(loaded.StateBytes(), edited->StateBytes());
  lilv_free(text);
  lilv_state_free(reread);
  lilv_state_free(state);
}

// Nothing but a whole chunk of our type is taken; the instance keeps every
// setting and goes on sounding the same.
TEST(Lv2State, HostileChunksAreRefusedWithNothingChanged) {
  const Channels in = TestSignal(2, 1024, 48000.0);
  auto plug = EditedInstance(in);
  const std::vector<uint8_t> before = plug->StateBytes();
  std::vector<uint8_t> fresh = Lv2Plugin(kStereoUri, 48000.0).StateBytes();
  ASSERT_EQ(fresh.size(), kStateSize);

  EXPECT_EQ(plug->RestoreRaw(fresh.data(), fresh.size(), World().Map("http://lv2plug.in/ns/ext/atom#Chunk")),
            LV2_STATE_ERR_BAD_TYPE);
  EXPECT_EQ(plug->RestoreRaw(nullptr, 0, StateType()), LV2_STATE_ERR_NO_PROPERTY);
  for (const size_t size : {size_t{0}, size_t{1}, kStateSize - 5, kStateSize - 4, kStateSize - 1, kStateSize + 1,
                            kStateSize * 2}) {
    std::vector<uint8_t> bytes(fresh);
    bytes.resize(size, 0x7F);
    EXPECT_NE(plug->RestoreRaw(bytes.data(), bytes.size(), StateType()), LV2_STATE_SUCCESS) << size;
  }
  // No map anywhere: the key cannot be known.
  Lv2Plugin unmapped(kStereoUri, 48000.0, HostFeatures{false, 0});
  ASSERT_TRUE(unmapped.Ok());
  const LV2_Feature* none[] = {nullptr};
  EXPECT_EQ(unmapped.RestoreRaw(fresh.data(), fresh.size(), StateType(), none), LV2_STATE_ERR_NO_FEATURE);
  std::vector<uint8_t> bytes;
  EXPECT_EQ(unmapped.SaveRaw(bytes, nullptr, none), LV2_STATE_ERR_NO_FEATURE);

  EXPECT_EQ(plug->StateBytes(), before);
  auto twin = EditedInstance(in);
  EXPECT_EQ(plug->Process(in, 512), twin->Process(in, 512));
}

// Values out of range or not finite are taken as the VST3 component takes
// them (clamped, a NaN giving the default); the bypass flag as any non-zero.
TEST(Lv2State, OutOfRangeValuesAreTakenAsTheVst3PathTakesThem) {
  std::vector<uint8_t> bytes = Lv2Plugin(kStereoUri, 48000.0).StateBytes();
  PutDouble(bytes, 3, std::numeric_limits<double>::infinity());
  PutDouble(bytes, 17, -1e300);
  PutDouble(bytes, 29, std::numeric_limits<double>::quiet_NaN());
  PutDouble(bytes, 16, 5000.0);
  PutDouble(bytes, 38, 7.0);
  const int32_t bypass = 2;
  std::memcpy(bytes.data() + 43 * sizeof(double), &bypass, sizeof bypass);

  Lv2Plugin plug(kStereoUri, 48000.0);
  ASSERT_EQ(plug.RestoreRaw(bytes.data(), bytes.size(), StateType()), LV2_STATE_SUCCESS);
  const std::vector<uint8_t> lv2 = plug.StateBytes();
  const std::vector<uint8_t> vst3 = Vst3StateAfterRestore(bytes);
  ASSERT_EQ(vst3.size(), kStateSize);
  EXPECT_EQ(lv2, vst3);
  double value = 0.0;
  std::memcpy(&value, lv2.data() + 3 * sizeof(double), sizeof value);
  EXPECT_EQ(value, 24.0);
}
