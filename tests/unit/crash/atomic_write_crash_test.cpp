// Crash safety of the one writer behind settings.ini, temp.tmp, LastFM.Queue
// and saved playlists.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/util/atomic_file.h"
#include "fakes/temp_dir.h"
#include "unit/crash/crash_support.h"

namespace kivo {
namespace {

using testing::FolderSync;
using testing::ModeOf;
using testing::NamesIn;
using testing::SyncCalls;
using testing::TempDir;

// Generation n of the file: its number first, then a body whose size
// changes from one generation to the next (a few bytes up to ~1.5 MB, like
// a 20,000-entry autosave), ending with a line of its own.
std::string Generation(int n) {
  const size_t sizes[] = {3, 1500000, 70000, 0, 400000};
  return "#" + std::to_string(n) + "\r\n" +
         std::string(sizes[n % 5], static_cast<char>('a' + n % 26)) +
         "\r\n#end " + std::to_string(n) + "\r\n";
}

// Writes generation first, first + 1, ... and tells report_fd the number of
// each one finished, until it is killed.
void WriteGenerations(const std::string& path, int first, int report_fd) {
  for (int n = first;; ++n) {
    if (!WriteFileAtomically(path, Generation(n), 0600)) return;
    if (::write(report_fd, &n, sizeof n) != sizeof n) return;
  }
}

// The last generation reported finished (first - 1 if none).
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
    pid_t child = testing::StartChild(
        [&] { WriteGenerations(path, done + 1, report[1]); });
    ASSERT_GE(child, 0);
    ::close(report[1]);
    testing::KillAfter(child, static_cast<int>(random() % 20000));
    done = LastReported(report[0], done + 1);
    ::close(report[0]);
    const std::string content = dir.Read("settings.ini");
    EXPECT_TRUE(content == Generation(done) || content == Generation(done + 1))
        << "round " << round << ": " << content.size()
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
  SyncCalls().clear();
  ASSERT_TRUE(WriteFileAtomically(dir.File("temp.tmp"), "a\r\n"));
  const std::vector<std::string> expected{"fsync file", "rename",
                                          FolderSync(dir.path())};
  EXPECT_EQ(SyncCalls(), expected);
}

}  // namespace
}  // namespace kivo
