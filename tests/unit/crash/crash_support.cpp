#include "unit/crash/crash_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

void RecordSync(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return;
  kivo::testing::SyncCalls().push_back(
      S_ISDIR(info.st_mode) ? "fsync folder " + std::to_string(info.st_ino)
                            : "fsync file");
}

}  // namespace

extern "C" int fsync(int fd) {
  RecordSync(fd);
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int fdatasync(int fd) {
  RecordSync(fd);
  return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

extern "C" int rename(const char* from, const char* to) {
  kivo::testing::SyncCalls().push_back("rename");
  return static_cast<int>(
      ::syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

namespace kivo::testing {

std::vector<std::string>& SyncCalls() {
  static std::vector<std::string> calls;
  return calls;
}

std::string FolderSync(const std::string& folder) {
  struct stat info {};
  ::stat(folder.c_str(), &info);
  return "fsync folder " + std::to_string(info.st_ino);
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

unsigned ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

pid_t StartChild(const std::function<void()>& body) {
  pid_t child = ::fork();
  if (child == 0) {
    body();
    ::_exit(0);
  }
  return child;
}

void KillAfter(pid_t child, int pause_us) {
  std::this_thread::sleep_for(std::chrono::microseconds(pause_us));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
}

}  // namespace kivo::testing
