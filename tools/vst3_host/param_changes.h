// Parameter changes for one block as a host delivers them: one queue per
// parameter. Lives on the host's stack, so references never delete. A test
// host derives from both classes to inject faults.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "pluginterfaces/vst/ivstparameterchanges.h"

class ParamQueue : public Steinberg::Vst::IParamValueQueue {
public:
  explicit ParamQueue(Steinberg::Vst::ParamID id) : mId(id) {}
  virtual ~ParamQueue() = default;
  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return static_cast<Steinberg::int32>(mPoints.size()); }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

private:
  Steinberg::Vst::ParamID mId;
  std::vector<std::pair<Steinberg::int32, Steinberg::Vst::ParamValue>> mPoints;
};

class ParamChanges : public Steinberg::Vst::IParameterChanges {
public:
  virtual ~ParamChanges() = default;
  // A point in the parameter's queue; the queue is made on first use and
  // returned.
  ParamQueue* Add(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value, Steinberg::int32 offset = 0);
  // Drops every queue.
  void Clear() { mQueues.clear(); }
  Steinberg::int32 PLUGIN_API getParameterCount() override { return static_cast<Steinberg::int32>(mQueues.size()); }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }

protected:
  // The queue for a parameter seen for the first time.
  virtual std::unique_ptr<ParamQueue> MakeQueue(Steinberg::Vst::ParamID id) {
    return std::make_unique<ParamQueue>(id);
  }
  // Lists a queue as it is, null included (lookups pass null queues over).
  void ListQueue(std::unique_ptr<ParamQueue> queue) { mQueues.push_back(std::move(queue)); }

private:
  std::vector<std::unique_ptr<ParamQueue>> mQueues;
};
