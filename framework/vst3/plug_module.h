// What a plug-in bundle supplies to the module entry points: the identity of
// its one class and the way to make an instance of it.
#pragma once

#include <cstdint>

class IPlugVST3;

struct PlugModuleInfo {
  const char* vendor;
  const char* url;
  const char* email;
  // The class ID's four words, each written most significant byte first.
  uint32_t guid[4];
  const char* className;
  const char* subCategories;
  const char* version;
};

// Both are defined once per bundle.
const PlugModuleInfo& GetPlugModuleInfo();
// A new instance holding one reference; instances are made one at a time.
IPlugVST3* MakePlug();
