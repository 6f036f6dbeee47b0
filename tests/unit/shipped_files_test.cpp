#include <gtest/gtest.h>

#include <filesystem>

#include "core/playback/plugins.h"
#include "core/ui/theme.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::PlayerHarness;
using testing::TempDir;

std::vector<std::string> Captions(const MenuItem& menu) {
  std::vector<std::string> captions;
  for (const auto& child : menu.children) captions.push_back(child->caption);
  return captions;
}

// The installed files of a package, and the user's program folder beside.
class ShippedFilesTest : public ::testing::Test {
 protected:
  ShippedFilesTest() {
    h.shipped = {installed.path() + "language", installed.path() + "Theme",
                 installed.path() + "lib/Plug-ins"};
    h.Restart();
    installed.Write("language/English.lng", "[menu]\r\n04=Stop v1\r\n");
    installed.Write("language/German.lng", "[menu]\r\n04=Halt\r\n");
    installed.Write("Theme/Default.ini", "[Theme]\r\n");
    installed.Write("lib/Plug-ins/kivo-gme.so", "v1");
  }
  void Start(const std::string& settings = "") {
    h.WriteSettings("[settings]\r\nDonationMsg=0\r\n" + settings +
                    "[plugins]\r\nkivo-gme.so=1\r\n");
    ASSERT_TRUE(h.Start());
  }
  std::string StopCaption() {
    return h.player->context().menus.Item("Stop").caption;
  }
  const MenuItem& Menu(const std::string& name) {
    return h.player->context().menus.Item(name);
  }

  TempDir installed;
  PlayerHarness h;
};

TEST_F(ShippedFilesTest, InstalledFilesServeAFreshProgramFolderInPlace) {
  Start();
  EXPECT_EQ(Captions(Menu("Language1")),
            (std::vector<std::string>{"English", "German"}));
  EXPECT_EQ(Captions(Menu("Theme1")), (std::vector<std::string>{"Default"}));
  EXPECT_EQ(Captions(Menu("Plugins1")),
            (std::vector<std::string>{"kivo-gme.so"}));
  EXPECT_EQ(StopCaption(), "Stop v1");
  EXPECT_EQ(h.audio.plugins_loaded.back(),
            installed.path() + "lib/Plug-ins/kivo-gme.so");
  EXPECT_FALSE(std::filesystem::exists(h.dir.File("language/English.lng")))
      << "nothing is copied, so nothing goes stale";
}

TEST_F(ShippedFilesTest, AnUpgradeReachesTheUserAndTheUsersOwnFilesStay) {
  h.dir.Write("language/Mine.lng", "[menu]\r\n04=My stop\r\n");
  h.dir.Write("language/german.lng", "[menu]\r\n04=Meins\r\n");
  Start();
  // The package is upgraded while the user keeps their folder.
  installed.Write("language/English.lng", "[menu]\r\n04=Stop v2\r\n");
  installed.Write("language/French.lng", "[menu]\r\n04=Arrêt\r\n");
  h.Restart();
  Start();
  EXPECT_EQ(StopCaption(), "Stop v2");
  EXPECT_EQ(Captions(Menu("Language1")),
            (std::vector<std::string>{"English", "French", "Mine", "german"}))
      << "the user's german.lng hides the shipped German.lng";
  h.player->MenuItemClicked(Menu("Language1").children[3]->name);
  EXPECT_EQ(StopCaption(), "Meins");
  h.player->MenuItemClicked(Menu("Language1").children[2]->name);
  EXPECT_EQ(StopCaption(), "My stop");
  EXPECT_EQ(h.dir.Read("language/Mine.lng"), "[menu]\r\n04=My stop\r\n");
}

TEST_F(ShippedFilesTest, AUsersPluginOfTheSameNameWinsAndOthersJoinTheList) {
  h.dir.Write("Plug-ins/kivo-gme.so", "mine");
  h.dir.Write("Plug-ins/extra.so", "mine too");
  Start();
  EXPECT_EQ(Captions(Menu("Plugins1")),
            (std::vector<std::string>{"extra.so", "kivo-gme.so"}));
  EXPECT_EQ(h.audio.plugins_loaded.back(), h.dir.File("Plug-ins/kivo-gme.so"));
}

}  // namespace
}  // namespace kivo
