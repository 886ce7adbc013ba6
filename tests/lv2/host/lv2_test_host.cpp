#include "tests/lv2/host/lv2_test_host.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effect/morvante_params.h"

namespace lv2test {

const char* const kStereoUri = "https://www.penvarrowsonics.com/lv2/morvante";
const char* const kMonoUri = "https://www.penvarrowsonics.com/lv2/morvante#mono";

namespace {
constexpr const char* kStateKeyUri = "https://www.penvarrowsonics.com/lv2/morvante#state";
constexpr const char* kStateTypeUri = "https://www.penvarrowsonics.com/lv2/morvante#stateChunk";
// Audio port buffers hold this much; longer blocks are run from copies.
constexpr int kPortBufferFrames = 16384;

LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<Lv2World*>(handle)->Map(uri); }
const char* UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  return static_cast<Lv2World*>(handle)->Unmap(urid);
}

struct StoredValue {
  std::vector<uint8_t>* bytes;
  LV2_URID* type;
  LV2_URID key = 0;
};

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                       uint32_t) {
  auto* stored = static_cast<StoredValue*>(handle);
  stored->key = key;
  const auto* bytes = static_cast<const uint8_t*>(value);
  stored->bytes->assign(bytes, bytes + size);
  if (stored->type) *stored->type = type;
  return LV2_STATE_SUCCESS;
}

struct OfferedValue {
  const void* data;
  size_t size;
  LV2_URID type;
};

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
  const auto* offered = static_cast<const OfferedValue*>(handle);
  if (key != StateKey() || !offered->data) return nullptr;
  *size = offered->size;
  *type = offered->type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return offered->data;
}

const void* GetPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  auto* plug = static_cast<Lv2Plugin*>(user);
  const int port = plug->Port(symbol);
  *size = sizeof(float);
  *type = World().Map(LV2_ATOM__Float);
  return port >= 0 ? plug->PortBuffer(port) : nullptr;
}

void SetPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type) {
  auto* plug = static_cast<Lv2Plugin*>(user);
  const int port = plug->Port(symbol);
  if (port >= 0 && size == sizeof(float) && type == World().Map(LV2_ATOM__Float))
    std::memcpy(plug->PortBuffer(port), value, sizeof(float));
}
}  // namespace

Lv2World::Lv2World() : mWorld(lilv_world_new()), mMap{this, MapUri}, mUnmap{this, UnmapUrid} {
  LilvNode* bundle = lilv_new_file_uri(mWorld, nullptr, MORVANTE_LV2_BUNDLE "/");
  lilv_world_load_bundle(mWorld, bundle);
  lilv_node_free(bundle);
}

Lv2World::~Lv2World() {
  for (LilvNode* node : mNodes) lilv_node_free(node);
  lilv_world_free(mWorld);
}

const LilvPlugin* Lv2World::Plugin(const char* uri) const {
  LilvNode* node = lilv_new_uri(mWorld, uri);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node);
  lilv_node_free(node);
  return plugin;
}

LilvNode* Lv2World::Uri(const char* uri) {
  mNodes.push_back(lilv_new_uri(mWorld, uri));
  return mNodes.back();
}

LV2_URID Lv2World::Map(const char* uri) {
  for (size_t i = 0; i < mUris.size(); ++i)
    if (mUris[i] == uri) return static_cast<LV2_URID>(i + 1);
  mUris.emplace_back(uri);
  return static_cast<LV2_URID>(mUris.size());
}

const char* Lv2World::Unmap(LV2_URID urid) const {
  return urid > 0 && urid <= mUris.size() ? mUris[urid - 1].c_str() : nullptr;
}

Lv2World& World() {
  static Lv2World world;
  return world;
}

LV2_URID StateKey() { return World().Map(kStateKeyUri); }
LV2_URID StateType() { return World().Map(kStateTypeUri); }

Lv2Plugin::Lv2Plugin(const char* uri, double rate, HostFeatures features) : mPlugin(World().Plugin(uri)) {
  if (!mPlugin) return;
  const uint32_t nPorts = lilv_plugin_get_num_ports(mPlugin);
  mControls.assign(nPorts, 0.0f);
  std::vector<float> defaults(nPorts, 0.0f);
  lilv_plugin_get_port_ranges_float(mPlugin, nullptr, nullptr, defaults.data());
  LilvNode* audio = World().Uri(LILV_URI_AUDIO_PORT);
  LilvNode* input = World().Uri(LILV_URI_INPUT_PORT);
  for (uint32_t i = 0; i < nPorts; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    if (lilv_port_is_a(mPlugin, port, audio))
      (lilv_port_is_a(mPlugin, port, input) ? mAudioIn : mAudioOut).push_back(static_cast<int>(i));
    else if (!std::isnan(defaults[i]))
      mControls[i] = defaults[i];
  }

  mFeatureRecords.reserve(3);
  if (features.map) {
    mFeatureRecords.push_back({LV2_URID__map, World().MapFeature()});
    mFeatureRecords.push_back({LV2_URID__unmap, World().UnmapFeature()});
  }
  if (features.maxBlockLength > 0) {
    mMaxBlockLength = features.maxBlockLength;
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, World().Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t),
                        World().Map(LV2_ATOM__Int), &mMaxBlockLength});
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
    mFeatureRecords.push_back({LV2_OPTIONS__options, mOptions.data()});
  }
  for (const LV2_Feature& f : mFeatureRecords) mFeatures.push_back(&f);
  mFeatures.push_back(nullptr);

  mInstance = lilv_plugin_instantiate(mPlugin, rate, mFeatures.data());
  if (!mInstance) return;
  mInBuffers.assign(mAudioIn.size(), std::vector<float>(kPortBufferFrames, 0.0f));
  mOutBuffers.assign(mAudioOut.size(), std::vector<float>(kPortBufferFrames, 0.0f));
  for (uint32_t i = 0; i < nPorts; ++i) ConnectPort(static_cast<int>(i), &mControls[i]);
  for (size_t c = 0; c < mAudioIn.size(); ++c) ConnectPort(mAudioIn[c], mInBuffers[c].data());
  for (size_t c = 0; c < mAudioOut.size(); ++c) ConnectPort(mAudioOut[c], mOutBuffers[c].data());
}

Lv2Plugin::~Lv2Plugin() {
  if (mInstance) lilv_instance_free(mInstance);
}

int Lv2Plugin::Port(const char* symbol) const {
  LilvNode* node = lilv_new_string(World().World(), symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(mPlugin, node);
  lilv_node_free(node);
  return port ? static_cast<int>(lilv_port_get_index(mPlugin, port)) : -1;
}

void Lv2Plugin::Set(const char* symbol, float value) {
  const int port = Port(symbol);
  if (port >= 0) mControls[static_cast<size_t>(port)] = value;
}

float Lv2Plugin::Get(const char* symbol) const {
  const int port = Port(symbol);
  return port >= 0 ? mControls[static_cast<size_t>(port)] : std::nanf("");
}

Channels Lv2Plugin::Process(const Channels& in, int blockSize) {
  const int frames = in.empty() ? 0 : static_cast<int>(in[0].size());
  Channels out(mAudioOut.size(), std::vector<float>(static_cast<size_t>(frames), 0.0f));
  // Blocks longer than the port buffers run on buffers of their own.
  Channels bigIn, bigOut;
  if (blockSize > kPortBufferFrames) {
    bigIn.assign(mAudioIn.size(), std::vector<float>(static_cast<size_t>(blockSize)));
    bigOut.assign(mAudioOut.size(), std::vector<float>(static_cast<size_t>(blockSize)));
    for (size_t c = 0; c < mAudioIn.size(); ++c) ConnectPort(mAudioIn[c], bigIn[c].data());
    for (size_t c = 0; c < mAudioOut.size(); ++c) ConnectPort(mAudioOut[c], bigOut[c].data());
  }
  Channels& inBuf = bigIn.empty() ? mInBuffers : bigIn;
  Channels& outBuf = bigOut.empty() ? mOutBuffers : bigOut;
  for (int done = 0; done < frames; done += blockSize) {
    const int n = std::min(blockSize, frames - done);
    for (size_t c = 0; c < mAudioIn.size(); ++c) std::copy_n(in[c].begin() + done, n, inBuf[c].begin());
    lilv_instance_run(mInstance, static_cast<uint32_t>(n));
    for (size_t c = 0; c < mAudioOut.size(); ++c) std::copy_n(outBuf[c].begin(), n, out[c].begin() + done);
  }
  if (!bigIn.empty()) {
    for (size_t c = 0; c < mAudioIn.size(); ++c) ConnectPort(mAudioIn[c], mInBuffers[c].data());
    for (size_t c = 0; c < mAudioOut.size(); ++c) ConnectPort(mAudioOut[c], mOutBuffers[c].data());
  }
  return out;
}

const LV2_State_Interface* Lv2Plugin::StateInterface() const {
  return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
}

LV2_State_Status Lv2Plugin::SaveRaw(std::vector<uint8_t>& bytes, LV2_URID* type, const LV2_Feature* const* features) {
  const LV2_State_Interface* state = StateInterface();
  if (!state) return LV2_STATE_ERR_UNKNOWN;
  StoredValue stored{&bytes, type};
  const LV2_State_Status status = state->save(lilv_instance_get_handle(mInstance), Store, &stored,
                                              LV2_STATE_IS_POD, features ? features : mFeatures.data());
  if (status == LV2_STATE_SUCCESS && stored.key != StateKey()) return LV2_STATE_ERR_UNKNOWN;
  return status;
}

LV2_State_Status Lv2Plugin::RestoreRaw(const void* data, size_t size, LV2_URID type,
                                       const LV2_Feature* const* features) {
  const LV2_State_Interface* state = StateInterface();
  if (!state) return LV2_STATE_ERR_UNKNOWN;
  OfferedValue offered{data, size, type};
  return state->restore(lilv_instance_get_handle(mInstance), Retrieve, &offered, 0,
                        features ? features : mFeatures.data());
}

std::vector<uint8_t> Lv2Plugin::StateBytes() {
  std::vector<uint8_t> bytes;
  SaveRaw(bytes);
  return bytes;
}

LilvState* Lv2Plugin::SaveLilvState() {
  return lilv_state_new_from_instance(mPlugin, mInstance, World().MapFeature(), nullptr, nullptr, nullptr, nullptr,
                                      GetPortValue, this, 0, mFeatures.data());
}

void Lv2Plugin::RestoreLilvState(const LilvState* state) {
  lilv_state_restore(state, mInstance, SetPortValue, this, 0, mFeatures.data());
}

Channels TestSignal(int nChannels, int frames, double rate) {
  static const double kTones[] = {150.0, 1700.0, 4500.0, 9000.0, 14000.0};
  Channels out(static_cast<size_t>(nChannels), std::vector<float>(static_cast<size_t>(frames)));
  for (int c = 0; c < nChannels; ++c) {
    unsigned noise = 12345u + 7919u * static_cast<unsigned>(c);
    for (int i = 0; i < frames; ++i) {
      const double t = i / rate;
      double x = 0.0;
      for (int k = 0; k < 5; ++k) x += (0.12 + 0.02 * c) * std::sin(2.0 * M_PI * kTones[k] * t + k + c);
      noise = noise * 1103515245u + 12345u;
      x += 0.03 * (static_cast<double>(noise >> 16) / 32768.0 - 1.0);
      out[static_cast<size_t>(c)][static_cast<size_t>(i)] = static_cast<float>(x);
    }
  }
  return out;
}

const std::vector<Setting>& EveryBandPullsDown() {
  static const std::vector<Setting> settings = {
      {"low_gain", kLowGain, 12.0f},          {"low_threshold", kLowThreshold, 40.0f},
      {"low_ratio", kLowRatio, 4.0f},         {"low_attack", kLowAttack, 2.0f},
      {"low_mid_gain", kLowMidGain, 9.0f},    {"low_mid_threshold", kLowMidThreshold, 42.5f},
      {"low_mid_ratio", kLowMidRatio, 6.0f},  {"low_mid_release", kLowMidRelease, 250.0f},
      {"mid_gain", kMidGain, 6.0f},           {"mid_threshold", kMidThreshold, 45.0f},
      {"mid_frequency", kMidFrequency, 4000.0f},
      {"high_mid_gain", kHighMidGain, 10.0f}, {"high_mid_threshold", kHighMidThreshold, 38.0f},
      {"high_mid_bandwidth", kHighMidBandwidth, -1.5f},
      {"high_gain", kHighGain, 8.0f},         {"high_threshold", kHighThreshold, 44.0f},
      {"high_release", kHighRelease, 60.0f},  {"output", kOutput, -6.0f},
      {"mode_l", kModeLow, 1.0f},             {"mode_hm", kModeHighMid, 1.0f},
  };
  return settings;
}

}  // namespace lv2test
