#include "tests/support/x11/xvfb_server.h"

#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace x11test {
namespace {

struct Server {
  Server() { Start(); }
  ~Server() {
    if (keepAlive) XCloseDisplay(keepAlive);
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
  }

  void Start() {
    int fds[2];
    if (pipe(fds) != 0) {
      failure = "no pipe";
      return;
    }
    // Xvfb writes the display number it picked to the descriptor.
    const std::string fd = std::to_string(fds[1]);
    // -terminate: the server goes when its last client does, which is this
    // program's own connection below, even when the program crashes.
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "2560x1440x24", "-nolisten", "tcp",
                          "-terminate", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const int result =
        posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (result != 0) {
      pid = 0;
      close(fds[0]);
      failure = "Xvfb is not installed";
      return;
    }
    std::string number;
    pollfd p = {fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
      char c = 0;
      if (read(fds[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    close(fds[0]);
    if (number.empty()) {
      failure = "Xvfb did not start";
      return;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    keepAlive = XOpenDisplay(nullptr);
    if (!keepAlive) {
      failure = "Xvfb does not answer";
      return;
    }
    display = ":" + number;
  }

  pid_t pid = 0;
  Display* keepAlive = nullptr;
  std::string display;
  std::string failure;
};

Server& TheServer() {
  static Server server;
  return server;
}
}  // namespace

const std::string& XvfbDisplay() { return TheServer().display; }
const std::string& XvfbFailure() { return TheServer().failure; }

}  // namespace x11test
