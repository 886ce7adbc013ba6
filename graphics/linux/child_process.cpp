#include "graphics/linux/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

extern char** environ;

namespace {
std::mutex& ChildrenMutex() {
  static std::mutex m;
  return m;
}
std::vector<pid_t>& Children() {
  static std::vector<pid_t> pids;
  return pids;
}

std::vector<char*> Argv(const char* program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// Standard input from /dev/null: a child must never read the host's input.
bool Spawn(const char* program, const std::vector<std::string>& args, int stdoutFd, pid_t* pid) {
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
  std::vector<char*> argv = Argv(program, args);
  const int result = posix_spawnp(pid, program, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return result == 0;
}
}  // namespace

void ReapFinishedChildren() {
  std::lock_guard<std::mutex> lock(ChildrenMutex());
  auto& pids = Children();
  pids.erase(std::remove_if(pids.begin(), pids.end(),
                            [](pid_t pid) {
                              int status = 0;
                              const pid_t r = waitpid(pid, &status, WNOHANG);
                              // Gone, or reaped by a host that collects every child.
                              return r == pid || (r < 0 && errno == ECHILD);
                            }),
             pids.end());
}

int UnreapedChildren() {
  std::lock_guard<std::mutex> lock(ChildrenMutex());
  return static_cast<int>(Children().size());
}

bool StartDetached(const char* program, const std::vector<std::string>& args) {
  ReapFinishedChildren();
  pid_t pid = 0;
  if (!Spawn(program, args, -1, &pid)) return false;
  std::lock_guard<std::mutex> lock(ChildrenMutex());
  Children().push_back(pid);
  return true;
}

bool RunAndCapture(const char* program, const std::vector<std::string>& args, std::string* output, int* status) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  pid_t pid = 0;
  if (!Spawn(program, args, fds[1], &pid)) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  close(fds[1]);
  std::string text;
  char buffer[1024];
  for (;;) {
    const ssize_t n = read(fds[0], buffer, sizeof(buffer));
    if (n > 0) {
      text.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  close(fds[0]);
  int st = 0;
  while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
  }
  if (output) *output = text;
  if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return true;
}
