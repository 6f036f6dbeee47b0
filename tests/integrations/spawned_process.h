#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kivo::testing {

// A helper program (Xvfb, dbus-daemon) started for one test and ended with
// it. Its standard output is a pipe the test reads lines from.
class SpawnedProcess {
 public:
  explicit SpawnedProcess(const std::vector<std::string>& argv);
  ~SpawnedProcess();
  SpawnedProcess(const SpawnedProcess&) = delete;
  SpawnedProcess& operator=(const SpawnedProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The next line of output without its newline; empty after timeout_ms or
  // at the end of the output.
  std::string ReadLine(int timeout_ms);

 private:
  pid_t pid_ = -1;
  int output_fd_ = -1;
  std::string pending_;
};

// True when the program is found on PATH.
bool ProgramExists(const std::string& name);

}  // namespace kivo::testing
