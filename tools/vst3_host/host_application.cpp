#include "tools/vst3_host/host_application.h"

#include "tools/vst3_host/query_interface.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API HostApplication::getName(String128 name) {
  size_t i = 0;
  for (; i < mName.size() && i < 127; ++i) name[i] = static_cast<char16>(mName[i]);
  name[i] = 0;
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID, TUID, void** obj) {
  *obj = nullptr;
  return kNoInterface;
}

tresult PLUGIN_API HostApplication::queryInterface(const TUID iid, void** obj) {
  return AnswerQueryInterface<IHostApplication>(this, iid, obj);
}
