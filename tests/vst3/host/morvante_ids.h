// MORVANTE as a host sees it: the class ID the factory lists and the tags of
// its parameters.
#pragma once

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace morvante_ids {

// F2AEE70D 00DE4F4E 506E7672 4D525631, most significant byte first.
inline const Steinberg::TUID kCid = {static_cast<char>(0xF2), static_cast<char>(0xAE), static_cast<char>(0xE7), 0x0D,
                                     0x00, static_cast<char>(0xDE), 0x4F, 0x4E,
                                     0x50, 0x6E, 0x76, 0x72,
                                     0x4D, 0x52, 0x56, 0x31};
// The effect's own parameters have the tags 0 .. kNumParams - 1.
constexpr int kNumParams = 43;
constexpr Steinberg::Vst::ParamID kPresetTag = 0x70727374;
constexpr Steinberg::Vst::ParamID kBypassTag = 0x62706173;

}  // namespace morvante_ids
