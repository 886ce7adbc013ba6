// A small LV2 host on lilv for the tests: the built MORVANTE.lv2 bundle
// loaded as hosts load it, and instances driven through their ports and
// their state interface.
#pragma once

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lv2test {

using Channels = std::vector<std::vector<float>>;

// The world with nothing but the built bundle in it, for the whole program.
class Lv2World {
public:
  Lv2World();
  ~Lv2World();
  LilvWorld* World() const { return mWorld; }
  const LilvPlugin* Plugin(const char* uri) const;
  LilvNode* Uri(const char* uri);  // owned by the world object
  LV2_URID Map(const char* uri);
  const char* Unmap(LV2_URID urid) const;
  LV2_URID_Map* MapFeature() { return &mMap; }
  LV2_URID_Unmap* UnmapFeature() { return &mUnmap; }

private:
  LilvWorld* mWorld;
  std::vector<LilvNode*> mNodes;
  std::vector<std::string> mUris;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
};
Lv2World& World();

// The features an instance gets.
struct HostFeatures {
  bool map = true;
  // 0: no options; else the options feature announces it as the largest block.
  int maxBlockLength = 0;
};

// One instance; every port is connected to a buffer held here.
class Lv2Plugin {
public:
  Lv2Plugin(const char* uri, double rate, HostFeatures features = {});
  ~Lv2Plugin();
  Lv2Plugin(const Lv2Plugin&) = delete;
  Lv2Plugin& operator=(const Lv2Plugin&) = delete;

  bool Ok() const { return mInstance != nullptr; }
  const LilvPlugin* Plugin() const { return mPlugin; }
  int NChannels() const { return static_cast<int>(mAudioIn.size()); }
  // -1 for an unknown symbol.
  int Port(const char* symbol) const;
  void Set(const char* symbol, float value);
  float Get(const char* symbol) const;
  float* PortBuffer(int port) { return &mControls[static_cast<size_t>(port)]; }
  void ConnectPort(int port, void* data) { lilv_instance_connect_port(mInstance, static_cast<uint32_t>(port), data); }
  void Activate() { lilv_instance_activate(mInstance); }
  void Deactivate() { lilv_instance_deactivate(mInstance); }
  void Run(uint32_t nFrames) { lilv_instance_run(mInstance, nFrames); }
  // Runs the input through in blocks of blockSize (the last may be
  // shorter); the output has the input's length.
  Channels Process(const Channels& in, int blockSize);

  // The state interface, called as a host calls it. The store keeps what
  // the instance stored; Restore offers one value of the given type.
  LV2_State_Status SaveRaw(std::vector<uint8_t>& bytes, LV2_URID* type = nullptr,
                           const LV2_Feature* const* features = nullptr);
  LV2_State_Status RestoreRaw(const void* data, size_t size, LV2_URID type,
                              const LV2_Feature* const* features = nullptr);
  std::vector<uint8_t> StateBytes();
  // Through lilv, port values included, as a host saves a project.
  LilvState* SaveLilvState();
  void RestoreLilvState(const LilvState* state);

private:
  const LV2_State_Interface* StateInterface() const;

  const LilvPlugin* mPlugin;
  LilvInstance* mInstance = nullptr;
  std::vector<float> mControls;
  std::vector<int> mAudioIn, mAudioOut;
  // Audio port buffers; blocks up to their length are run in place.
  std::vector<std::vector<float>> mInBuffers, mOutBuffers;
  int32_t mMaxBlockLength = 0;
  std::vector<LV2_Options_Option> mOptions;
  std::vector<LV2_Feature> mFeatureRecords;
  std::vector<const LV2_Feature*> mFeatures;
};

// The MORVANTE.lv2 URIs and the state's URIDs in the test world.
extern const char* const kStereoUri;
extern const char* const kMonoUri;
LV2_URID StateKey();
LV2_URID StateType();

// A deterministic test mix for each channel: low and high tones and a little
// noise, loud enough to drive every band's detector.
Channels TestSignal(int nChannels, int frames, double rate);

// Settings under which every band pulls its boost down: symbol and value.
struct Setting {
  const char* symbol;
  int paramIdx;
  float value;
};
const std::vector<Setting>& EveryBandPullsDown();

}  // namespace lv2test
