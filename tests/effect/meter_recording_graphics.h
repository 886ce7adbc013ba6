// An editor without a window, and what the editor's timer reads of the
// meters: the processing publishes one value per band at each block's end,
// never touching the editor's controls.
#pragma once

#include "framework/iplug_base.h"
#include "graphics/igraphics_headless.h"

class MeterRecordingGraphics : public IGraphicsHeadless {
public:
  explicit MeterRecordingGraphics(IPlugBase* plug) : IGraphicsHeadless(plug, 1220, 590) {}
};

// The value published for a meter and the control it is bound to.
struct PublishedMeter {
  int controlIdx;
  double value;
};

inline PublishedMeter Published(const IPlugBase& plug, int meterIdx) {
  return {plug.GetMeterControlIdx(meterIdx), plug.GetMeterValue(meterIdx)};
}
