// The host's IHostApplication: tells the plug-in the host's name. It lives
// on the host's stack, so references are counted but never delete it.
#pragma once

#include <atomic>
#include <string>

#include "pluginterfaces/vst/ivsthostapplication.h"

class HostApplication final : public Steinberg::Vst::IHostApplication {
public:
  explicit HostApplication(const char* name) : mName(name) {}
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid, void** obj) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }
  int References() const { return mRefs.load(); }

private:
  std::string mName;
  std::atomic<int> mRefs{1};
};
