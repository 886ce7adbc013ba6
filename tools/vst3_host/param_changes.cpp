#include "tools/vst3_host/param_changes.h"

#include "tools/vst3_host/query_interface.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API ParamQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value) {
  if (index < 0 || index >= getPointCount()) return kResultFalse;
  sampleOffset = mPoints[static_cast<size_t>(index)].first;
  value = mPoints[static_cast<size_t>(index)].second;
  return kResultOk;
}

tresult PLUGIN_API ParamQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index) {
  index = getPointCount();
  mPoints.emplace_back(sampleOffset, value);
  return kResultOk;
}

tresult PLUGIN_API ParamQueue::queryInterface(const TUID iid, void** obj) {
  return AnswerQueryInterface<IParamValueQueue>(this, iid, obj);
}

ParamQueue* ParamChanges::Add(ParamID id, ParamValue value, int32 offset) {
  int32 index = 0;
  auto* queue = static_cast<ParamQueue*>(addParameterData(id, index));
  queue->addPoint(offset, value, index);
  return queue;
}

IParamValueQueue* PLUGIN_API ParamChanges::getParameterData(int32 index) {
  if (index < 0 || index >= getParameterCount()) return nullptr;
  return mQueues[static_cast<size_t>(index)].get();
}

IParamValueQueue* PLUGIN_API ParamChanges::addParameterData(const ParamID& id, int32& index) {
  for (size_t i = 0; i < mQueues.size(); ++i) {
    if (mQueues[i] && mQueues[i]->getParameterId() == id) {
      index = static_cast<int32>(i);
      return mQueues[i].get();
    }
  }
  index = getParameterCount();
  ListQueue(MakeQueue(id));
  return mQueues.back().get();
}

tresult PLUGIN_API ParamChanges::queryInterface(const TUID iid, void** obj) {
  return AnswerQueryInterface<IParameterChanges>(this, iid, obj);
}
