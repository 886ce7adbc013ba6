// The class MORVANTE builds on. The product derives from the VST3 binding
// IPlugVST3; until that lands this stand-in gives the format-independent
// base the binding's constructor, so switching is replacing this class with
//   using MorvantePlugBase = IPlugVST3;
#pragma once

#include "framework/iplug_base.h"
#include "framework/iplug_instance_info.h"

class MorvantePlugBase : public IPlugBase {
public:
  MorvantePlugBase(IPlugInstanceInfo /* read by nothing */, int nParams, const char* channelIOStr, int nPresets,
                   const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
                   int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                   int /* nSidechainChannels */ = 0)
      : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
                  latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIVST3) {}
};
