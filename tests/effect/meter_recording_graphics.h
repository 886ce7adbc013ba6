// An editor without a window that records the meter values the processing
// sends it.
#pragma once

#include <functional>
#include <vector>

#include "graphics/igraphics_headless.h"

class MeterRecordingGraphics : public IGraphicsHeadless {
public:
  struct Update {
    int controlIdx;
    double value;
  };

  explicit MeterRecordingGraphics(IPlugBase* plug) : IGraphicsHeadless(plug, 1220, 590) {}

  void SetControlFromPlug(int controlIdx, double normalizedValue) override {
    updates.push_back({controlIdx, normalizedValue});
    if (onUpdate) onUpdate(static_cast<int>(updates.size()));
  }

  std::vector<Update> updates;
  // Runs after each update with the number recorded so far: lets a test act
  // as another thread would, in the middle of a block.
  std::function<void(int)> onUpdate;
};
