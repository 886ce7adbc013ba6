// What a VST3 host hands to a plug-in, in the smallest form a test needs.
// The objects live on the test's stack: reference counts are tracked but
// never delete.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "tools/vst3_host/host_application.h"
#include "tools/vst3_host/param_changes.h"

// FUnknown for stack objects: counts references, answers for FUnknown and
// the interfaces a subclass lists.
#define TEST_HOST_REFCOUNT                                                                      \
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }                            \
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }                           \
  int References() const { return mRefs.load(); }                                                \
                                                                                                \
private:                                                                                        \
  std::atomic<int> mRefs{1};                                                                    \
                                                                                                \
public:

// The host application is the one the tools use.
using TestHostApplication = HostApplication;

class TestContextMenu final : public Steinberg::Vst::IContextMenu {
public:
  Steinberg::int32 PLUGIN_API getItemCount() override { return 0; }
  Steinberg::tresult PLUGIN_API getItem(Steinberg::int32, Item&, Steinberg::Vst::IContextMenuTarget**) override {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API addItem(const Item&, Steinberg::Vst::IContextMenuTarget*) override {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API removeItem(const Item&, Steinberg::Vst::IContextMenuTarget*) override {
    return Steinberg::kResultFalse;
  }
  Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  TEST_HOST_REFCOUNT

  int popups = 0;
  int lastX = 0;
  int lastY = 0;
};

// Records every edit; offers IComponentHandler3 only when asked to.
class TestComponentHandler final : public Steinberg::Vst::IComponentHandler, public Steinberg::Vst::IComponentHandler3 {
public:
  explicit TestComponentHandler(bool offersContextMenus = true) : mOffersContextMenus(offersContextMenus) {}
  struct Edit {
    char kind;  // 'b'egin, 'p'erform, 'e'nd
    Steinberg::Vst::ParamID tag;
    double value;
  };
  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
  Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* view,
                                                             const Steinberg::Vst::ParamID* paramID) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  TEST_HOST_REFCOUNT

  std::vector<Edit> edits;
  std::vector<Steinberg::int32> restarts;
  Steinberg::IPlugView* menuView = nullptr;
  Steinberg::Vst::ParamID menuTag = 0xFFFFFFFF;
  TestContextMenu menu;

private:
  bool mOffersContextMenus;
};

class TestPlugFrame final : public Steinberg::IPlugFrame {
public:
  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  TEST_HOST_REFCOUNT

  int resizes = 0;
  Steinberg::ViewRect lastSize;
  // When set, the new size is reported back at once, as most hosts do.
  bool answerWithOnSize = true;
};

// The tools' parameter changes, with faults a test can inject. Like the
// tools' objects they do not count references.
class TestParamQueue final : public ParamQueue {
public:
  using ParamQueue::ParamQueue;
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;

  // Makes getPoint fail for the queue's last point.
  bool failLastPoint = false;
};

class TestParamChanges final : public ParamChanges {
public:
  // Adds a point to the tag's queue, making the queue on first use.
  TestParamQueue* Add(Steinberg::Vst::ParamID tag, double value, Steinberg::int32 offset = 0) {
    return static_cast<TestParamQueue*>(ParamChanges::Add(tag, value, offset));
  }
  // Lists a null queue, as a careless host might.
  void AddNullQueue() { ListQueue(nullptr); }

private:
  std::unique_ptr<ParamQueue> MakeQueue(Steinberg::Vst::ParamID tag) override {
    return std::make_unique<TestParamQueue>(tag);
  }
};

// A stream over a byte vector that can be told to fail: reads and writes
// past a limit fail (failAfter) or deliver nothing but succeed.
class TestStream final : public Steinberg::IBStream {
public:
  TestStream() = default;
  explicit TestStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}
  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes, Steinberg::int32* numBytesRead) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode, Steinberg::int64* result) override;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  TEST_HOST_REFCOUNT

  std::vector<uint8_t> data;
  size_t position = 0;
  // A read that would go past the end fails instead of delivering less.
  bool failShortReads = false;
  // Writes fail once this many bytes are in the stream (negative: never).
  long writeLimit = -1;
};
