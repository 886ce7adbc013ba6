// The identity of MORVANTE's LV2 plug-ins, user interface and state: the
// names hosts store in their projects, so they never change.
#pragma once

constexpr const char* kLv2PluginUri = "https://www.penvarrowsonics.com/lv2/morvante";
constexpr const char* kLv2MonoPluginUri = "https://www.penvarrowsonics.com/lv2/morvante#mono";
constexpr const char* kLv2UiUri = "https://www.penvarrowsonics.com/lv2/morvante#ui";
// The state holds one value under this key: the bytes of the instance's
// state (each parameter as a little-endian double, then the bypass flag as a
// little-endian 32-bit integer), typed with kLv2StateTypeUri.
constexpr const char* kLv2StateKeyUri = "https://www.penvarrowsonics.com/lv2/morvante#state";
constexpr const char* kLv2StateTypeUri = "https://www.penvarrowsonics.com/lv2/morvante#stateChunk";
