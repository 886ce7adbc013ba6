// A small read-only interface for tools and tests that talk to the plug-in
// through FUnknown only: what it identified the host as, and how many editor
// views it tracks. Hosts never ask for it.
#pragma once

#include "pluginterfaces/base/funknown.h"

class IPlugDiagnostics : public Steinberg::FUnknown {
public:
  // An EHost value; -1 until initialize has identified the host.
  virtual Steinberg::int32 PLUGIN_API getHostId() = 0;
  // Entries of the plug-in's editor view list.
  virtual Steinberg::int32 PLUGIN_API getViewCount() = 0;

  static const Steinberg::FUID iid;
};

DECLARE_CLASS_IID(IPlugDiagnostics, 0x4D525644, 0x49414731, 0x506E7672, 0x4D525631)
