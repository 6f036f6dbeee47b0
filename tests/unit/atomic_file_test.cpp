#include "core/util/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/util/text.h"
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

// Lines as a reader of the text sees them, one character at a time: CR, LF
// and CR LF each end a line; a final line break makes no extra line.
std::vector<std::string> LinesReadByHand(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
      continue;
    }
    lines.push_back(line);
    line.clear();
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

TEST(AtomicFileTest, FileLinesSplitAsTheTextWouldBeOfAnySizeAndLineEnd) {
  TempDir dir;
  // A CR LF across the 64 KiB read blocks must end one line, not two.
  const std::string long_line(65535, 'x');
  // Line ends of every kind falling anywhere against the blocks.
  std::mt19937 random(3);
  std::string mixed;
  while (mixed.size() < 300000) {
    mixed += std::string(random() % 40, 'm') + "\r\n\n\r"[random() % 4];
  }
  for (const std::string& text :
       {std::string("a\r\nb\nc\rd"), std::string("\r\n\n\r\re\r\n"),
        std::string(""), long_line + "\r\nnext\r\n", std::string(200000, 'y'),
        mixed}) {
    const std::string path = dir.Write("list.kpp", text);
    std::vector<std::string> lines;
    size_t expected_bytes = 0;
    ASSERT_TRUE(ReadFileLines(
        path, [&](size_t, size_t bytes) { expected_bytes = bytes; },
        [&](std::string_view line) { lines.emplace_back(line); }));
    EXPECT_EQ(lines, LinesReadByHand(text)) << text.size();
    EXPECT_EQ(SplitLines(text), LinesReadByHand(text)) << text.size();
    // What is announced is what arrives, so it can be stored in one go.
    size_t bytes = 0;
    for (const std::string& line : lines) bytes += line.size();
    EXPECT_EQ(expected_bytes, bytes);
  }
  auto ignore_expect = [](size_t, size_t) {};
  auto ignore_line = [](std::string_view) {};
  std::string reason;
  EXPECT_FALSE(ReadFileLines(dir.File("absent.kpp"), ignore_expect, ignore_line,
                             &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(ReadFileLines(dir.path(), ignore_expect, ignore_line,
                             &reason));  // a folder
}

TEST(AtomicFileTest, FailureKeepsTheOldFileAndGivesTheReason) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir.File("none/x"), "y", 0644, &error));
  EXPECT_FALSE(error.empty());
  std::string content;
  EXPECT_FALSE(ReadWholeFile(dir.path(), &content, &error));
}

unsigned ModeOf(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// A read-only file is the user's word, for root as well: the rename that
// replaces it would need only the folder's permission.
TEST(AtomicFileTest, AReadOnlyFileIsRefusedAndKept) {
  TempDir dir;
  const std::string path = dir.Write("list.kpp", "old\r\n");
  ::chmod(path.c_str(), 0444);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(path, "new\r\n", 0644, &error));
  EXPECT_EQ(error, "Permission denied");
  EXPECT_EQ(dir.Read("list.kpp"), "old\r\n");
  EXPECT_EQ(ModeOf(path) & 07777, 0444u);
  ::chmod(path.c_str(), 0644);
  EXPECT_TRUE(WriteFileAtomically(path, "new\r\n", 0644, &error));
  EXPECT_EQ(dir.Read("list.kpp"), "new\r\n");
}

TEST(AtomicFileTest, ALinkIsWrittenThroughAndStaysALink) {
  TempDir dir;
  const std::string target = dir.Write("real/settings.ini", "[a]\r\n");
  ::chmod(target.c_str(), 0600);
  const std::string link = dir.File("settings.ini");
  ASSERT_EQ(::symlink("real/settings.ini", link.c_str()), 0);
  const std::string chained = dir.File("chained.ini");
  ASSERT_EQ(::symlink(link.c_str(), chained.c_str()), 0);

  ASSERT_TRUE(WriteFileAtomically(chained, "[b]\r\n"));
  EXPECT_TRUE(S_ISLNK(ModeOf(link)));
  EXPECT_TRUE(S_ISLNK(ModeOf(chained)));
  EXPECT_EQ(dir.Read("real/settings.ini"), "[b]\r\n");
  EXPECT_EQ(ModeOf(target) & 07777, 0600u);

  // A link to a file not there yet creates it at the link's target.
  ASSERT_EQ(::symlink("real/new.kpp", dir.File("new.kpp").c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(dir.File("new.kpp"), "x\r\n"));
  EXPECT_TRUE(S_ISLNK(ModeOf(dir.File("new.kpp"))));
  EXPECT_EQ(dir.Read("real/new.kpp"), "x\r\n");

  // A read-only target is refused through its link too.
  ::chmod(target.c_str(), 0444);
  EXPECT_FALSE(WriteFileAtomically(link, "[c]\r\n"));
  EXPECT_EQ(dir.Read("real/settings.ini"), "[b]\r\n");
  EXPECT_TRUE(S_ISLNK(ModeOf(link)));

  ASSERT_EQ(::symlink("loop2", dir.File("loop1").c_str()), 0);
  ASSERT_EQ(::symlink("loop1", dir.File("loop2").c_str()), 0);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir.File("loop1"), "y", 0644, &error));
  EXPECT_EQ(error, "Too many levels of symbolic links");
}

}  // namespace
}  // namespace kivo
