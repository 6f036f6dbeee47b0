// Crash safety of the desktop's own writes: mimeapps.list and the
// associations' desktop entry, killed while types are turned on and off.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "desktop/integrations/xdg_associations.h"
#include "fakes/temp_dir.h"
#include "unit/crash/crash_support.h"

namespace kivo::desktop {
namespace {

using kivo::testing::FolderSync;
using kivo::testing::ModeOf;
using kivo::testing::NamesIn;
using kivo::testing::SyncCalls;
using kivo::testing::TempDir;

constexpr const char* kUserList =
    "[Default Applications]\n"
    "audio/mpeg=previous-player.desktop\n"
    "text/plain=gedit.desktop\n";

class XdgWriteCrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("HOME", dir_.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", ConfigDir().c_str(), 1);
    setenv("XDG_DATA_HOME", (dir_.path() + "data").c_str(), 1);
    // The player's own table of types answers, and no desktop database
    // tool is started for each of the many writes.
    setenv("XDG_DATA_DIRS", (dir_.path() + "system").c_str(), 1);
    setenv("PATH", (dir_.path() + "no-tools").c_str(), 1);
    std::filesystem::create_directories(ApplicationsDir());
    std::filesystem::create_directories(ConfigDir());
    dir_.Write("config/mimeapps.list", kUserList);
    ::chmod(ListPath().c_str(), 0640);
  }

  std::string ConfigDir() const { return dir_.path() + "config"; }
  std::string ApplicationsDir() const {
    return dir_.path() + "data/applications";
  }
  std::string ListPath() const { return ConfigDir() + "/mimeapps.list"; }
  std::string EntryPath() const {
    return ApplicationsDir() + "/" + XdgAssociations::kDesktopId;
  }
  static std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "<none>";
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  // Two minutes back, as after a restart of the computer.
  static void AgeEverything(const std::string& folder) {
    const auto then =
        std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      std::filesystem::last_write_time(entry.path(), then);
    }
  }

  TempDir dir_;
  XdgAssociations associations_{"/usr/bin/kivo-player"};
  std::string failed_;
};

TEST_F(XdgWriteCrashTest, KilledAtAnyMomentEachFileIsWholeAndKeepsItsMode) {
  ASSERT_TRUE(associations_.Register("mp3", &failed_));
  const std::string taken = Read(ListPath());
  const std::string entry = Read(EntryPath());
  ASSERT_TRUE(associations_.Restore("mp3", &failed_));
  const std::string given_back = Read(ListPath());
  std::mt19937 random(5);
  for (int round = 0; round < 30; ++round) {
    pid_t child = testing::StartChild([&] {
      while (associations_.Register("mp3", &failed_) &&
             associations_.Restore("mp3", &failed_)) {
      }
    });
    ASSERT_GE(child, 0);
    testing::KillAfter(child, static_cast<int>(random() % 30000));
    const std::string list = Read(ListPath());
    EXPECT_TRUE(list == taken || list == given_back)
        << "round " << round << ": " << list;
    const std::string written_entry = Read(EntryPath());
    EXPECT_TRUE(written_entry == entry || written_entry == "<none>")
        << "round " << round << ": " << written_entry;
    EXPECT_EQ(ModeOf(ListPath()), 0640u) << "round " << round;
  }
  // What a kill left is taken away by a write once nobody can be writing it.
  // Another program's write of the list in flight stays.
  dir_.Write("config/mimeapps.list.AbC123", "old");
  AgeEverything(ConfigDir());
  AgeEverything(ApplicationsDir());
  dir_.Write("config/mimeapps.list.XyZ789", "in flight");
  ASSERT_TRUE(associations_.Register("mp3", &failed_));
  std::vector<std::string> config_names = NamesIn(ConfigDir());
  std::sort(config_names.begin(), config_names.end());
  EXPECT_EQ(config_names, (std::vector<std::string>{"mimeapps.list",
                                                    "mimeapps.list.XyZ789"}));
  EXPECT_EQ(NamesIn(ApplicationsDir()),
            std::vector<std::string>{XdgAssociations::kDesktopId});
}

TEST_F(XdgWriteCrashTest, BothFilesAreMadeDurableBySyncingTheirFolders) {
  SyncCalls().clear();
  ASSERT_TRUE(associations_.Register("mp3", &failed_));
  // The entry is new and may be linked into place without a rename; the
  // list replaces the user's own.
  std::vector<std::string> syncs = SyncCalls();
  ASSERT_GE(syncs.size(), 2u);
  EXPECT_EQ(syncs[syncs.size() - 2], "rename");
  std::erase(syncs, "rename");
  const std::vector<std::string> expected{
      "fsync file", FolderSync(ApplicationsDir()), "fsync file",
      FolderSync(ConfigDir())};
  EXPECT_EQ(syncs, expected);
}

}  // namespace
}  // namespace kivo::desktop
