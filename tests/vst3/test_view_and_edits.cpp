// The editor view, edits sent to the host, the context menu, latency and
// transport: through the bundle where a host can reach them, and on a small
// plug-in with a headless editor linked in directly.
#include <cstring>

#include "framework/vst3/iplug_diagnostics.h"
#include "framework/vst3/iplug_vst3.h"
#include "graphics/igraphics_headless.h"
#include "tests/vst3/vst3_test_support.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace vst3test;

namespace {
// Records what the view asks of the engine.
class RecordingEditor : public IGraphicsHeadless {
public:
  RecordingEditor(IPlugBase* plug, int w, int h) : IGraphicsHeadless(plug, w, h) {}
  void* OpenWindow(void* parent) override {
    lastParent = parent;
    ++opens;
    return IGraphicsHeadless::OpenWindow(parent);
  }
  void CloseWindow() override {
    ++closes;
    IGraphicsHeadless::CloseWindow();
  }
  void* lastParent = nullptr;
  int opens = 0;
  int closes = 0;
};

class EditorPlug : public IPlugVST3 {
public:
  explicit EditorPlug(bool withEditor)
      : IPlugVST3(IPlugInstanceInfo(), 2, "1-1 2-2", 1, "EditorPlug", "", "Tests", 0x10000, 0x4564506C, 0x54657374, 0,
                  false, false, false) {
    GetParam(0)->InitDouble("Gain", 0.0, -12.0, 12.0, 0.1, "dB");
    GetParam(1)->InitBool("Switch", false);
    MakeDefaultPreset("init", 1);
    if (withEditor) {
      editor = new RecordingEditor(this, 300, 200);
      AttachGraphics(editor);
    }
  }
  void OnGUIOpen() override { ++guiOpens; }
  void OnGUIClose() override { ++guiCloses; }
  void OnWindowResize() override { ++windowResizes; }

  RecordingEditor* editor = nullptr;  // owned by the base
  int guiOpens = 0;
  int guiCloses = 0;
  int windowResizes = 0;
};

// The plug-in and its view, released in the host's order.
struct PlugWithView {
  explicit PlugWithView(bool withEditor) : plug(new EditorPlug(withEditor)) {
    plug->initialize(nullptr);
    view = plug->createView("editor");
  }
  ~PlugWithView() {
    if (view) view->release();
    plug->terminate();
    plug->release();
  }
  EditorPlug* plug;
  IPlugView* view;
};
}  // namespace

TEST(Vst3BundleView, CreatesEditorViewsOnlyByTheirName) {
  ASSERT_TRUE(Module().Loaded());
  PluginInstance plug(Module().Factory(), kMorvanteCid);
  ASSERT_EQ(plug.component->initialize(nullptr), kResultOk);
  FUnknownPtr<IPlugDiagnostics> diagnostics(plug.component);
  ASSERT_TRUE(diagnostics);
  EXPECT_EQ(plug.controller->createView("Editor"), nullptr);
  EXPECT_EQ(plug.controller->createView(nullptr), nullptr);
  IPlugView* first = plug.controller->createView("editor");
  IPlugView* second = plug.controller->createView("editor");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(diagnostics->getViewCount(), 2);

  // The effect's panel.
  ViewRect size(1, 2, 3, 4);
  ASSERT_EQ(first->getSize(&size), kResultOk);
  EXPECT_EQ(size.left, 0);
  EXPECT_EQ(size.top, 0);
  EXPECT_EQ(size.getWidth(), 1220);
  EXPECT_EQ(size.getHeight(), 590);
  EXPECT_EQ(first->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
  EXPECT_EQ(first->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(first->onSize(nullptr), kResultOk);
  EXPECT_EQ(first->canResize(), kResultFalse);

  first->release();
  EXPECT_EQ(diagnostics->getViewCount(), 0);
  second->release();
  EXPECT_EQ(diagnostics->getViewCount(), 0);
  plug.component->terminate();
}

TEST(Vst3BundleView, AViewKeepsThePlugInAlive) {
  auto plug = std::make_unique<PluginInstance>(Module().Factory(), kMorvanteCid);
  ASSERT_EQ(plug->component->initialize(nullptr), kResultOk);
  IPlugView* view = plug->controller->createView("editor");
  ASSERT_NE(view, nullptr);
  plug->component->terminate();
  plug.reset();  // the host's references are gone; the view's is not
  EXPECT_EQ(view->onSize(nullptr), kResultOk);
  EXPECT_EQ(view->removed(), kResultOk);
  view->release();
}

TEST(Vst3View, ForwardsTheHostsCallsToTheEditor) {
  PlugWithView p(true);
  IPlugView* view = p.view;
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeNSView), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);

  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.left, 0);
  EXPECT_EQ(size.top, 0);
  EXPECT_EQ(size.right, 300);
  EXPECT_EQ(size.bottom, 200);
  EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);

  EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x1234), kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(p.plug->editor->opens, 0);
  int parent = 0;
  ASSERT_EQ(view->attached(&parent, kPlatformTypeX11EmbedWindowID), kResultOk);
  EXPECT_EQ(p.plug->editor->opens, 1);
  EXPECT_EQ(p.plug->editor->lastParent, &parent);
  EXPECT_EQ(p.plug->guiOpens, 1);

  ASSERT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(p.plug->guiCloses, 1);
  EXPECT_EQ(p.plug->editor->closes, 1);
}

TEST(Vst3View, PassesOnOnlyTheSizeItAskedFor) {
  PlugWithView p(true);
  TestPlugFrame frame;
  ASSERT_EQ(p.view->setFrame(&frame), kResultTrue);
  ViewRect hostSize(0, 0, 640, 480);
  EXPECT_EQ(p.view->onSize(&hostSize), kResultOk);
  EXPECT_EQ(p.plug->windowResizes, 0);
  EXPECT_EQ(p.view->onSize(nullptr), kResultOk);

  p.plug->ResizeGraphics(400, 250);
  EXPECT_EQ(frame.resizes, 1);
  EXPECT_EQ(frame.lastSize.getWidth(), 400);
  EXPECT_EQ(frame.lastSize.getHeight(), 250);
  EXPECT_EQ(p.plug->windowResizes, 1);
  EXPECT_EQ(p.view->onSize(&hostSize), kResultOk);
  EXPECT_EQ(p.plug->windowResizes, 1);

  // A host that reports later: the first report after the request counts.
  frame.answerWithOnSize = false;
  p.plug->ResizeGraphics(500, 260);
  EXPECT_EQ(p.plug->windowResizes, 1);
  EXPECT_EQ(p.view->onSize(&hostSize), kResultOk);
  EXPECT_EQ(p.plug->windowResizes, 2);
  ASSERT_EQ(p.view->setFrame(nullptr), kResultTrue);
  p.plug->ResizeGraphics(10, 10);  // no frame: nobody to ask
  EXPECT_EQ(frame.resizes, 2);
}

TEST(Vst3View, WithoutAnEditorObjectNothingOpens) {
  PlugWithView p(false);
  ASSERT_NE(p.view, nullptr);
  EXPECT_EQ(p.view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
  EXPECT_EQ(p.view->attached(nullptr, kPlatformTypeX11EmbedWindowID), kResultFalse);
  ViewRect size(5, 5, 5, 5);
  EXPECT_EQ(p.view->getSize(&size), kResultFalse);
  EXPECT_EQ(size.left, 5);
  EXPECT_EQ(p.view->removed(), kResultOk);
  EXPECT_EQ(p.plug->guiOpens + p.plug->guiCloses, 0);
}

TEST(Vst3Edits, WithoutAHandlerNothingReachesTheHost) {
  PlugWithView p(true);
  EXPECT_EQ(p.plug->beginEdit(0), kResultFalse);
  EXPECT_EQ(p.plug->performEdit(0, 0.3), kResultFalse);
  EXPECT_EQ(p.plug->endEdit(0), kResultFalse);
  p.plug->BeginInformHostOfParamChange(0);
  p.plug->SetParameterFromGUI(0, 0.25);
  p.plug->EndInformHostOfParamChange(0);
  EXPECT_DOUBLE_EQ(p.plug->getParamNormalized(0), 0.25);
  p.plug->PopupHostContextMenuForParam(0, 1, 2);
  p.plug->SetLatency(32);
  EXPECT_EQ(p.plug->getLatencySamples(), 32u);
}

TEST(Vst3Edits, EditorEditsReachTheHandler) {
  PlugWithView p(true);
  TestComponentHandler handler;
  ASSERT_EQ(p.plug->setComponentHandler(&handler), kResultTrue);
  p.plug->BeginInformHostOfParamChange(0);
  p.plug->SetParameterFromGUI(0, 0.75);
  p.plug->EndInformHostOfParamChange(0);
  ASSERT_EQ(handler.edits.size(), 3u);
  EXPECT_EQ(handler.edits[0].kind, 'b');
  EXPECT_EQ(handler.edits[1].kind, 'p');
  EXPECT_EQ(handler.edits[1].tag, 0u);
  EXPECT_DOUBLE_EQ(handler.edits[1].value, 0.75);
  EXPECT_EQ(handler.edits[2].kind, 'e');

  p.plug->SetLatency(64);
  ASSERT_EQ(handler.restarts.size(), 1u);
  EXPECT_EQ(handler.restarts[0], kLatencyChanged);
  EXPECT_EQ(p.plug->getLatencySamples(), 64u);
  p.plug->setComponentHandler(nullptr);
}

TEST(Vst3Edits, TheHostsContextMenuPopsUpForTheParameter) {
  PlugWithView p(true);
  TestComponentHandler handler;
  ASSERT_EQ(p.plug->setComponentHandler(&handler), kResultTrue);
  p.plug->PopupHostContextMenuForParam(1, 30, 40);
  EXPECT_EQ(handler.menuView, p.view);
  EXPECT_EQ(handler.menuTag, 1u);
  EXPECT_EQ(handler.menu.popups, 1);
  EXPECT_EQ(handler.menu.lastX, 30);
  EXPECT_EQ(handler.menu.lastY, 40);
  EXPECT_EQ(handler.menu.References(), 1);  // released after the popup

  TestComponentHandler plainHandler(false);
  ASSERT_EQ(p.plug->setComponentHandler(&plainHandler), kResultTrue);
  p.plug->PopupHostContextMenuForParam(1, 30, 40);
  EXPECT_EQ(plainHandler.menu.popups, 0);
  p.plug->setComponentHandler(nullptr);
}

TEST(Vst3Transport, ReportsTheLastContextTheHostSent) {
  PlugWithView p(false);
  ProcessSetup setup{kOffline, kSample32, 64, 48000.0};
  ASSERT_EQ(p.plug->setupProcessing(setup), kResultOk);
  EXPECT_TRUE(p.plug->IsRenderingOffline());
  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kCycleActive;
  context.tempo = 133.0;
  context.projectTimeSamples = 96000;
  context.projectTimeMusic = 8.5;
  context.barPositionMusic = 8.0;
  context.cycleStartMusic = 4.0;
  context.cycleEndMusic = 12.0;
  context.timeSigNumerator = 7;
  context.timeSigDenominator = 8;
  ProcessData data{};
  data.symbolicSampleSize = kSample32;
  data.processContext = &context;
  ASSERT_EQ(p.plug->process(data), kResultOk);
  data.processContext = nullptr;  // a block without one keeps the last
  ASSERT_EQ(p.plug->process(data), kResultOk);

  ITimeInfo info;
  p.plug->GetTime(&info);
  EXPECT_EQ(info.mTempo, 133.0);
  EXPECT_EQ(info.mSamplePos, 96000.0);
  EXPECT_EQ(info.mPPQPos, 8.5);
  EXPECT_EQ(info.mLastBar, 8.0);
  EXPECT_EQ(info.mCycleStart, 4.0);
  EXPECT_EQ(info.mCycleEnd, 12.0);
  EXPECT_EQ(info.mNumerator, 7);
  EXPECT_EQ(info.mDenominator, 8);
  EXPECT_TRUE(info.mTransportIsRunning);
  EXPECT_TRUE(info.mTransportLoopEnabled);
  EXPECT_EQ(p.plug->GetTempo(), 133.0);
  EXPECT_EQ(p.plug->GetSamplePos(), 96000.0);
  int num = 0, den = 0;
  p.plug->GetTimeSig(&num, &den);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(den, 8);
  EXPECT_FALSE(p.plug->SendMidiMsg(nullptr));
}
