// An IGraphicsLinux editor embedded in a test host's window on a private X
// server, its timer and X connection served by the host's poll loop.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "graphics/editor_run_loop.h"
#include "graphics/linux/igraphics_linux.h"
#include "tests/graphics/controls/controls_test_support.h"
#include "tests/support/x11/poll_loop.h"
#include "tests/support/x11/x11_test_window.h"
#include "tests/support/x11/xvfb_server.h"

// The editor's run loop on the host's poll loop, counting what is
// registered.
class PollLoopRunLoop : public EditorRunLoop {
public:
  explicit PollLoopRunLoop(x11test::PollLoop* loop) : mLoop(loop) {}
  ~PollLoopRunLoop() override { Stop(); }
  bool Start(int fd, int intervalMs, EditorRunLoopClient* client) override {
    Stop();
    intervals = intervalMs;
    mTimer = mLoop->AddTimer(intervalMs, [client] { client->OnRunLoopTimer(); });
    mFd = mLoop->AddFd(fd, [client] { client->OnRunLoopFdReadable(); });
    return true;
  }
  void Stop() override {
    mLoop->Remove(mTimer);
    mLoop->Remove(mFd);
    mTimer = mFd = 0;
  }
  int intervals = 0;

private:
  x11test::PollLoop* mLoop;
  int mTimer = 0;
  int mFd = 0;
};

class X11EngineTest : public ::testing::Test {
protected:
  static constexpr int kW = 320;
  static constexpr int kH = 240;

  void SetUp() override {
    REQUIRE_X_SERVER();
    host = std::make_unique<x11test::HostWindow>(400, 300);
    ASSERT_TRUE(host->IsOpen());
    plug = std::make_unique<ControlsTestPlug>(kAPIVST3);
    gui = new IGraphicsLinux(plug.get(), kW, kH);
    gui->AttachPanelBackground(IColor(255, 40, 60, 80));
  }
  void TearDown() override {
    if (!attached) delete gui;
    plug.reset();  // deletes the engine, closing its window
    host.reset();
  }
  // Attaches the engine to the plug-in (after the test added its controls)
  // and opens it in the host's window.
  bool Open() {
    if (!attached) {
      plug->AttachGraphics(gui);
      attached = true;
    }
    if (!gui->OpenWindowOnRunLoop(reinterpret_cast<void*>(host->Id()), std::make_unique<PollLoopRunLoop>(&loop)))
      return false;
    Serve(100);
    return true;
  }
  void Serve(int ms) { loop.RunFor(ms); }
  x11test::XUser& User() { return host->User(); }

  std::unique_ptr<x11test::HostWindow> host;
  std::unique_ptr<ControlsTestPlug> plug;
  IGraphicsLinux* gui = nullptr;  // owned by the plug-in once attached
  x11test::PollLoop loop;
  bool attached = false;
};
