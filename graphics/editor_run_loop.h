// The host's event loop as the editor's window sees it: one repeating timer
// and one watched file descriptor (the window system's connection), both
// served on the host's user-interface thread. The plug-in starts no thread of
// its own. A host binding supplies the loop (VST3's run loop, an LV2 host's
// idle calls); the platform layer registers with it when its window opens.
#pragma once

class EditorRunLoopClient {
public:
  virtual ~EditorRunLoopClient() = default;
  virtual void OnRunLoopTimer() = 0;
  virtual void OnRunLoopFdReadable() = 0;
};

class EditorRunLoop {
public:
  virtual ~EditorRunLoop() = default;
  // Calls client->OnRunLoopTimer() every intervalMs and
  // client->OnRunLoopFdReadable() whenever fd has data, until Stop. False
  // when the host refuses either registration (nothing stays registered).
  virtual bool Start(int fd, int intervalMs, EditorRunLoopClient* client) = 0;
  // Unregisters both; the client is never called after this returns.
  virtual void Stop() = 0;
};

// A loop that its maker keeps, handed to an engine, which owns what it is
// given and drops it when its window closes (also from inside one of the
// loop's own calls). Dropping the handle unregisters the client; the loop
// itself stays for its maker.
class BorrowedRunLoop final : public EditorRunLoop {
public:
  explicit BorrowedRunLoop(EditorRunLoop* loop) : mLoop(loop) {}
  ~BorrowedRunLoop() override { Stop(); }
  bool Start(int fd, int intervalMs, EditorRunLoopClient* client) override {
    return mLoop->Start(fd, intervalMs, client);
  }
  void Stop() override { mLoop->Stop(); }

private:
  EditorRunLoop* mLoop;
};
