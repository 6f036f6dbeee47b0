#include "core/util/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "fakes/temp_dir.h"

namespace kivo {
namespace {

using testing::TempDir;

TEST(AtomicFileTest, AKillDuringRewritesLeavesTheOldOrTheNewFile) {
  TempDir dir;
  const std::string path = dir.File("LastFM.Queue");
  const std::string old_text(300000, 'o');
  const std::string new_text(200000, 'n');
  ASSERT_TRUE(WriteFileAtomically(path, old_text));
  for (int round = 0; round < 12; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) {
        WriteFileAtomically(path, i % 2 ? old_text : new_text);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(3 + round * 2));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    std::string content = dir.Read("LastFM.Queue");
    EXPECT_TRUE(content == old_text || content == new_text)
        << "round " << round << ": " << content.size() << " bytes";
  }
}

TEST(AtomicFileTest, FailureKeepsTheOldFileAndGivesTheReason) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir.File("none/x"), "y", 0644, &error));
  EXPECT_FALSE(error.empty());
  std::string content;
  EXPECT_FALSE(ReadWholeFile(dir.path(), &content, &error));
}

}  // namespace
}  // namespace kivo
