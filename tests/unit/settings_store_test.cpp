#include "core/app/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fakes/player_harness.h"
#include "fakes/temp_dir.h"

namespace kivo {
namespace {

using testing::TempDir;

TEST(SettingsStoreTest, MissingFileReadsAsDefaultsAndFirstWriteCreatesIt) {
  TempDir dir;
  SettingsStore store(dir.File("settings.ini"));
  EXPECT_EQ(store.ReadSettingText("settings", "Theme", "Default"), "Default");
  EXPECT_EQ(store.ReadSettingInt("settings", "Mode", 4), 4);
  EXPECT_TRUE(store.ReadSettingBool("settings", "Seekbar", true));
  store.WriteText("settings", "Theme", "Dark");
  EXPECT_EQ(dir.Read("settings.ini"), "[settings]\r\nTheme=Dark\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(dir.File("settings.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(SettingsStoreTest, KindsStoreTheirForms) {
  TempDir dir;
  SettingsStore store(dir.File("settings.ini"));
  store.WriteSetting("settings", "a", "TRUE", SettingKind::kBoolean);
  store.WriteSetting("settings", "b", "false", SettingKind::kBoolean);
  store.WriteSetting("settings", "c", "7", SettingKind::kBoolean);
  store.WriteSetting("settings", "d", "0x20", SettingKind::kInteger);
  store.WriteSetting("settings", "e", " spaced text", SettingKind::kText);
  EXPECT_EQ(dir.Read("settings.ini"),
            "[settings]\r\na=1\r\nb=0\r\nc=1\r\nd=32\r\ne= spaced text\r\n");
  EXPECT_EQ(store.ReadSettingText("settings", "e", ""), "spaced text");
}

TEST(SettingsStoreTest, HandEditsAreSeenByTheNextRead) {
  TempDir dir;
  SettingsStore store(dir.File("settings.ini"));
  dir.Write("settings.ini",
            "[Settings]\nOnTop=true\nShowTray=2\nvolume=0x10\n");
  EXPECT_FALSE(store.ReadSettingBool("settings", "OnTop", false));
  EXPECT_TRUE(store.ReadSettingBool("settings", "OnTop", true));
  EXPECT_TRUE(store.ReadSettingBool("settings", "ShowTray", false));
  EXPECT_EQ(store.ReadSettingInt("settings", "volume", 5000), 16);
  dir.Write("settings.ini", "[settings]\nvolume=300\n");
  EXPECT_EQ(store.ReadSettingInt("SETTINGS", "VOLUME", 5000), 300);
}

TEST(SettingsStoreTest, AFailedWriteThrowsWithThePathAndKeepsTheFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  dir.Write("ro/settings.ini", "[settings]\nMode=2\n");
  ::chmod(dir.File("ro").c_str(), 0500);
  SettingsStore store(dir.File("ro/settings.ini"));
  try {
    store.WriteInt("settings", "Mode", 3);
    FAIL() << "no error";
  } catch (const SettingsWriteError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Unable to write to " + dir.File("ro/settings.ini"));
  }
  EXPECT_EQ(store.ReadSettingInt("settings", "Mode", 0), 2);
  ::chmod(dir.File("ro").c_str(), 0700);
}

TEST(SettingsStoreTest, AWriteIntoAMissingFolderThrows) {
  TempDir dir;
  SettingsStore store(dir.File("gone/settings.ini"));
  EXPECT_THROW(store.WriteText("settings", "Theme", "x"), SettingsWriteError);
}

TEST(SettingsStoreTest, AFolderInThePlaceOfTheFileFailsEvenForRoot) {
  TempDir dir;
  dir.Write("settings.ini/inside", "x");
  SettingsStore store(dir.File("settings.ini"));
  EXPECT_EQ(store.ReadSettingInt("settings", "Mode", 4), 4);
  EXPECT_THROW(store.WriteInt("settings", "Mode", 3), SettingsWriteError);
  EXPECT_EQ(dir.Read("settings.ini/inside"), "x");
}

TEST(SettingsStoreTest, AnExistingFileKeepsItsMode) {
  TempDir dir;
  dir.Write("settings.ini", "[settings]\n");
  ::chmod(dir.File("settings.ini").c_str(), 0640);
  SettingsStore store(dir.File("settings.ini"));
  store.WriteInt("settings", "Mode", 1);
  struct stat info {};
  ASSERT_EQ(::stat(dir.File("settings.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(SettingsStoreTest, AReadOnlyFileIsNotReplacedEvenForRoot) {
  TempDir dir;
  const std::string path = dir.Write("settings.ini", "[settings]\nMode=2\n");
  ::chmod(path.c_str(), 0444);
  SettingsStore store(path);
  try {
    store.WriteInt("settings", "Mode", 3);
    FAIL() << "no error";
  } catch (const SettingsWriteError& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
  }
  EXPECT_EQ(dir.Read("settings.ini"), "[settings]\nMode=2\n");
}

TEST(SettingsStoreTest, ALinkedFileIsWrittenThroughItsLink) {
  TempDir dir;
  dir.Write("dotfiles/kivo.ini", "[settings]\r\nMode=2\r\n");
  ASSERT_EQ(::symlink("dotfiles/kivo.ini", dir.File("settings.ini").c_str()),
            0);
  SettingsStore store(dir.File("settings.ini"));
  store.WriteInt("settings", "Mode", 3);
  EXPECT_EQ(dir.Read("dotfiles/kivo.ini"), "[settings]\r\nMode=3\r\n");
  struct stat info {};
  ASSERT_EQ(::lstat(dir.File("settings.ini").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// The option click stops at the failed write and the user hears why.
TEST(SettingsStoreTest, AReadOnlySettingsFileAbandonsTheCommandWithAMessage) {
  testing::PlayerHarness h;
  ASSERT_TRUE(h.Start());
  const std::string path = h.dir.File("settings.ini");
  const std::string before = h.dir.Read("settings.ini");
  ::chmod(path.c_str(), 0400);
  h.player->MenuItemClicked("History2");
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].text, "Unable to write to " + path);
  EXPECT_EQ(h.dir.Read("settings.ini"), before);
}

// A frozen settings.ini still starts the player: restoring the remembered
// playlist names it in LastPlayed again, which changes nothing.
TEST(SettingsStoreTest, AReadOnlyFileThatAlreadyHoldsTheValueIsNoFailure) {
  testing::PlayerHarness h;
  const std::string track = h.AddFile("a.mp3");
  const std::string list = h.dir.Write("list.kpp", track + "\r\n");
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nLastPlayed=" + list + "\r\n");
  ::chmod(h.dir.File("settings.ini").c_str(), 0444);
  ASSERT_TRUE(h.Start());
  EXPECT_EQ(h.player->state().playlist.file_list.ToVector(),
            std::vector<std::string>{track});
  EXPECT_EQ(LinesOf(h.player->state().playlist), std::vector<std::string>{"a"});
  EXPECT_TRUE(h.dialogs.messages.empty());

  // Another list cannot be remembered: the user hears so, and the list
  // shown is whole.
  const std::string other =
      h.dir.Write("other.kpp", h.AddFile("b.mp3") + "\r\n");
  h.dialogs.open_answers.push_back({other});
  h.player->MenuItemClicked("LoadPlaylist");
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].text,
            "Unable to write to " + h.dir.File("settings.ini"));
  EXPECT_EQ(LinesOf(h.player->state().playlist), std::vector<std::string>{"b"});
}

}  // namespace
}  // namespace kivo
