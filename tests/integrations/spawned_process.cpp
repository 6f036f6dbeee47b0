#include "integrations/spawned_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace kivo::testing {

SpawnedProcess::SpawnedProcess(const std::vector<std::string>& argv) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null",
                                   O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ) !=
      0) {
    pid_ = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  output_fd_ = pipe_fds[0];
}

SpawnedProcess::~SpawnedProcess() {
  if (output_fd_ >= 0) close(output_fd_);
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  for (int tries = 0; tries < 100; ++tries) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

std::string SpawnedProcess::ReadLine(int timeout_ms) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (pending_.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd entry{output_fd_, POLLIN, 0};
    if (left.count() <= 0 ||
        poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
      return {};
    }
    char buffer[256];
    const ssize_t got = read(output_fd_, buffer, sizeof buffer);
    if (got <= 0) return {};
    pending_.append(buffer, static_cast<size_t>(got));
  }
  const size_t newline = pending_.find('\n');
  std::string line = pending_.substr(0, newline);
  pending_.erase(0, newline + 1);
  return line;
}

bool ProgramExists(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace kivo::testing
