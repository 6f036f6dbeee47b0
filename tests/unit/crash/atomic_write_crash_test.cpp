// Crash safety of the one writer behind settings.ini, temp.tmp, LastFM.Queue
// and saved playlists. A separate program: it replaces fsync and rename for
// the whole process to see in which order the writer calls them.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/util/atomic_file.h"
#include "fakes/temp_dir.h"

namespace {

// What the writer asked of the system, in order: "rename", "fsync file" or
// "fsync folder <inode>".
std::vector<std::string> g_calls;

}  // namespace

extern "C" int fsync(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) == 0) {
    g_calls.push_back(S_ISDIR(info.st_mode)
                          ? "fsync folder " + std::to_string(info.st_ino)
                          : "fsync file");
  }
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) {
  g_calls.push_back("rename");
  return static_cast<int>(
      ::syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

namespace kivo {
namespace {

using testing::TempDir;

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

// Generation n of the file: its number first, then a body whose size
// changes from one generation to the next (a few bytes up to ~1.5 MB, like
// a 20,000-entry autosave), ending with a line of its own.
std::string Generation(int n) {
  const size_t sizes[] = {3, 1500000, 70000, 0, 400000};
  return "#" + std::to_string(n) + "\r\n" +
         std::string(sizes[n % 5], static_cast<char>('a' + n % 26)) +
         "\r\n#end " + std::to_string(n) + "\r\n";
}

// Runs in a child: writes generation 1, 2, ... and tells the parent the
// number of each one finished, until it is killed.
[[noreturn]] void WriteGenerations(const std::string& path, int first,
                                   int report_fd) {
  for (int n = first;; ++n) {
    if (!WriteFileAtomically(path, Generation(n), 0600)) ::_exit(3);
    if (::write(report_fd, &n, sizeof n) != sizeof n) ::_exit(4);
  }
}

// The last generation the child reported finished (first - 1 if none).
int LastReported(int read_fd, int first) {
  int last = first - 1;
  int n = 0;
  while (::read(read_fd, &n, sizeof n) == sizeof n) last = n;
  return last;
}

TEST(AtomicWriteCrashTest, KilledAtAnyMomentTheFileIsTheLastOrTheNextOne) {
  TempDir dir;
  const std::string path = dir.File("settings.ini");
  ASSERT_TRUE(WriteFileAtomically(path, Generation(0), 0600));
  std::mt19937 random(17);
  int done = 0;
  size_t most_names = 1;
  for (int round = 0; round < 40; ++round) {
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(report[0]);
      WriteGenerations(path, done + 1, report[1]);
    }
    ::close(report[1]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    done = LastReported(report[0], done + 1);
    ::close(report[0]);
    const std::string content = dir.Read("settings.ini");
    const bool last_or_next =
        content == Generation(done) || content == Generation(done + 1);
    EXPECT_TRUE(last_or_next) << "round " << round << ": " << content.size()
                              << " bytes, last finished " << done;
    if (content == Generation(done + 1)) ++done;
    EXPECT_EQ(ModeOf(path), 0600u) << "round " << round;
    most_names = std::max(most_names, NamesIn(dir.path()).size());
  }
  // A temporary a kill left behind goes with the next write; they never pile
  // up in the program folder.
  EXPECT_LE(most_names, 2u);
  ASSERT_TRUE(WriteFileAtomically(path, Generation(done + 1), 0600));
  EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"settings.ini"});
}

TEST(AtomicWriteCrashTest, TheRenameIsMadeDurableBySyncingTheFolder) {
  TempDir dir;
  struct stat folder {};
  ASSERT_EQ(::stat(dir.path().c_str(), &folder), 0);
  g_calls.clear();
  ASSERT_TRUE(WriteFileAtomically(dir.File("temp.tmp"), "a\r\n"));
  const std::vector<std::string> expected{
      "fsync file", "rename", "fsync folder " + std::to_string(folder.st_ino)};
  EXPECT_EQ(g_calls, expected);
}

}  // namespace
}  // namespace kivo
