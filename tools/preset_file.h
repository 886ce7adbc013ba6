// VST3 preset files (.vstpreset): a header with the class id, the chunks,
// then a list of where each chunk lies. Hosts keep a plug-in's state this
// way; "Comp" holds the component state and "Cont" the controller state.
#pragma once

#include <string>

struct PresetFile {
  std::string classId;  // 32 hexadecimal digits, as the SDK writes a class id
  bool hasComponent = false;
  std::string component;
  bool hasController = false;
  std::string controller;
};

std::string WritePresetFile(const PresetFile& preset);
// False with a message when the bytes are no preset file or a chunk lies
// outside them.
bool ReadPresetFile(const std::string& bytes, PresetFile& preset, std::string& error);
