#include "tests/vst3/host/host_objects.h"

#include <algorithm>
#include <cstring>

#include "tools/vst3_host/query_interface.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API TestContextMenu::popup(UCoord x, UCoord y) {
  ++popups;
  lastX = x;
  lastY = y;
  return kResultOk;
}

tresult PLUGIN_API TestContextMenu::queryInterface(const TUID iid, void** obj) {
  return AnswerQueryInterface<IContextMenu>(this, iid, obj);
}

tresult PLUGIN_API TestComponentHandler::beginEdit(ParamID id) {
  edits.push_back({'b', id, 0.0});
  return kResultOk;
}

tresult PLUGIN_API TestComponentHandler::performEdit(ParamID id, ParamValue value) {
  edits.push_back({'p', id, value});
  return kResultOk;
}

tresult PLUGIN_API TestComponentHandler::endEdit(ParamID id) {
  edits.push_back({'e', id, 0.0});
  return kResultOk;
}

tresult PLUGIN_API TestComponentHandler::restartComponent(int32 flags) {
  restarts.push_back(flags);
  return kResultOk;
}

IContextMenu* PLUGIN_API TestComponentHandler::createContextMenu(IPlugView* view, const ParamID* paramID) {
  menuView = view;
  menuTag = paramID ? *paramID : 0xFFFFFFFF;
  menu.addRef();
  return &menu;
}

tresult PLUGIN_API TestComponentHandler::queryInterface(const TUID iid, void** obj) {
  if (mOffersContextMenus && FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid)) {
    addRef();
    *obj = static_cast<IComponentHandler3*>(this);
    return kResultOk;
  }
  return AnswerQueryInterface<IComponentHandler>(this, iid, obj);
}

tresult PLUGIN_API TestPlugFrame::resizeView(IPlugView* view, ViewRect* newSize) {
  ++resizes;
  lastSize = *newSize;
  if (answerWithOnSize) view->onSize(newSize);
  return kResultOk;
}

tresult PLUGIN_API TestPlugFrame::queryInterface(const TUID iid, void** obj) {
  return AnswerQueryInterface<IPlugFrame>(this, iid, obj);
}

tresult PLUGIN_API TestParamQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value) {
  if (failLastPoint && index >= 0 && index == getPointCount() - 1) return kResultFalse;
  return ParamQueue::getPoint(index, sampleOffset, value);
}

tresult PLUGIN_API TestStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  if (numBytesRead) *numBytesRead = 0;
  if (numBytes < 0) return kInvalidArgument;
  const size_t left = data.size() - std::min(position, data.size());
  if (failShortReads && static_cast<size_t>(numBytes) > left) return kResultFalse;
  const size_t n = std::min(static_cast<size_t>(numBytes), left);
  if (n > 0) std::memcpy(buffer, data.data() + position, n);
  position += n;
  if (numBytesRead) *numBytesRead = static_cast<int32>(n);
  return kResultOk;
}

tresult PLUGIN_API TestStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  if (numBytesWritten) *numBytesWritten = 0;
  if (numBytes < 0) return kInvalidArgument;
  if (writeLimit >= 0 && static_cast<long>(data.size()) + numBytes > writeLimit) return kResultFalse;
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  data.insert(data.end(), bytes, bytes + numBytes);
  position = data.size();
  if (numBytesWritten) *numBytesWritten = numBytes;
  return kResultOk;
}

tresult PLUGIN_API TestStream::seek(int64 pos, int32 mode, int64* result) {
  int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? static_cast<int64>(position) : static_cast<int64>(data.size());
  if (base + pos < 0) return kResultFalse;
  position = static_cast<size_t>(base + pos);
  if (result) *result = static_cast<int64>(position);
  return kResultOk;
}

tresult PLUGIN_API TestStream::tell(int64* pos) {
  if (pos) *pos = static_cast<int64>(position);
  return kResultOk;
}

tresult PLUGIN_API TestStream::queryInterface(const TUID iid, void** obj) { return AnswerQueryInterface<IBStream>(this, iid, obj); }
