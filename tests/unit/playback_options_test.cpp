#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/playback/audio_options.h"
#include "core/playback/plugins.h"
#include "playback_fixture.h"

namespace kivo {
namespace {

using testing::PlaybackFixture;
using testing::PlayerHarness;

std::vector<std::string> Captions(const MenuItem& parent) {
  std::vector<std::string> captions;
  for (const auto& child : parent.children) captions.push_back(child->caption);
  return captions;
}

const MenuItem& Child(PlayerHarness& h, const char* parent, size_t index) {
  return *h.player->context().menus.Item(parent).children.at(index);
}

struct DeviceHarness : PlayerHarness {
  explicit DeviceHarness(const std::string& settings) {
    audio.AddDevice("Speakers");
    audio.AddDevice("USB");
    audio.AddDevice("USB");
    WriteSettings("[settings]\r\nDonationMsg=0\r\n" + settings);
  }
};

TEST(DeviceMenuTest, ListsEveryDeviceAndChecksTheStoredOne) {
  DeviceHarness h("device=2\r\n");
  ASSERT_TRUE(h.Start());
  const MenuItem& menu = h.player->context().menus.Item("AudioDevice1");
  EXPECT_EQ(Captions(menu),
            (std::vector<std::string>{"Default", "Speakers", "USB", "USB"}));
  EXPECT_TRUE(Child(h, "AudioDevice1", 1).checked);
  EXPECT_EQ(std::count_if(menu.children.begin(), menu.children.end(),
                          [](const auto& item) { return item->checked; }),
            1);

  DeviceHarness unknown("device=9\r\n");
  EXPECT_FALSE(unknown.Start());
  ASSERT_EQ(unknown.dialogs.messages.size(), 1u);
  EXPECT_EQ(unknown.dialogs.messages[0].text,
            "Can\xC2\xB4t initialize audio device");
}

TEST(DeviceMenuTest, SwitchingStopsTheTrackAndTheTrayPlayRestartsIt) {
  PlaybackFixture f;
  f.h.audio.AddDevice("USB");
  f.h.audio.AddDevice("USB");
  f.h.audio.AddDevice("Speakers");
  BuildDeviceMenu(f.h.player->context(), f.state());
  std::string a = f.AddEntry("a.mp3");
  f.Play(0);
  f.h.window.SetCaption("Kivo Player  -  00:01 / 03:00");
  f.Click(Child(f.h, "AudioDevice1", 1).name);
  EXPECT_EQ(f.h.audio.init_device(), 3);  // the last of the two "USB"
  EXPECT_EQ(f.h.Setting("settings", "device"), "3");
  EXPECT_EQ(f.h.audio.open_count(), 0);
  EXPECT_FALSE(f.h.loop.TimerEnabled("Time"));
  EXPECT_EQ(f.h.window.Caption(), "Kivo Player");
  EXPECT_EQ(f.h.window.seekbar_position, 0);
  EXPECT_TRUE(Child(f.h, "AudioDevice1", 1).checked);
  EXPECT_FALSE(Child(f.h, "AudioDevice1", 0).checked);
  EXPECT_FALSE(f.h.loop.quit_called());

  f.Click("Play1");
  EXPECT_EQ(f.PlayingLocation(), a);
  EXPECT_EQ(f.playback().ChannelState(), AudioLibrary::kActivePlaying);
}

TEST(DeviceMenuTest, AFailedReinitialisationEndsTheProgram) {
  PlaybackFixture f;
  f.h.audio.AddDevice("USB");
  BuildDeviceMenu(f.h.player->context(), f.state());
  f.h.audio.fail_init = true;
  f.Click(Child(f.h, "AudioDevice1", 1).name);
  ASSERT_EQ(f.h.dialogs.messages.size(), 1u);
  EXPECT_EQ(f.h.dialogs.messages[0].text,
            "Can\xC2\xB4t initialize audio device");
  EXPECT_TRUE(f.h.loop.quit_called());
  EXPECT_EQ(f.h.loop.exit_code(), 1);
}

TEST(PluginMenuTest, ListsExactlyTheSoFilesAndLoadsTheEnabledOnes) {
  PlayerHarness h;
  for (const char* name : {"Plug-ins/a.so", "Plug-ins/B.SO", "Plug-ins/c.so.1",
                           "Plug-ins/broken.so", "Plug-ins/dir.so/x"}) {
    h.dir.Write(name, "");
  }
  h.WriteSettings(
      "[settings]\r\nDonationMsg=0\r\n[plugins]\r\nbroken.so=1\r\na.so=0\r\n");
  ASSERT_TRUE(h.Start());
  std::vector<std::string> files =
      PluginFiles(PluginFolders(h.player->context()));
  std::vector<std::string> sorted = files;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<std::string>{"a.so", "broken.so"}));
  const MenuItem& menu = h.player->context().menus.Item("Plugins1");
  EXPECT_EQ(Captions(menu), files);

  // A failed load is listed and checked with handle 0.
  PlayerState& state = h.player->state();
  EXPECT_EQ(state.plugin_names, (std::vector<std::string>{"broken.so"}));
  EXPECT_EQ(state.plugin_handles, (std::vector<std::string>{"0"}));
  size_t broken = files[0] == "broken.so" ? 0 : 1;
  const std::string broken_item = menu.children[broken]->name;
  const std::string a_item = menu.children[1 - broken]->name;
  EXPECT_TRUE(menu.children[broken]->checked);
  EXPECT_FALSE(menu.children[1 - broken]->checked);

  h.player->MenuItemClicked(a_item);
  EXPECT_EQ(h.Setting("plugins", "a.so"), "1");
  ASSERT_EQ(state.plugin_names.size(), 2u);
  EXPECT_EQ(h.audio.plugins_loaded.back(), h.dir.File("Plug-ins/a.so"));
  std::string a_handle = state.plugin_handles[1];

  h.player->MenuItemClicked(broken_item);
  EXPECT_EQ(h.Setting("plugins", "broken.so"), "0");
  EXPECT_TRUE(h.audio.plugins_freed.empty());
  h.player->MenuItemClicked(a_item);
  ASSERT_EQ(h.audio.plugins_freed.size(), 1u);
  EXPECT_EQ(std::to_string(h.audio.plugins_freed[0]), a_handle);
  EXPECT_TRUE(state.plugin_names.empty());
}

TEST(PluginMenuTest, AMissingFolderIsCreatedAndShowsNoPlugins) {
  PlayerHarness h;
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(std::filesystem::is_directory(h.dir.File("Plug-ins")));
  const MenuItem& menu = h.player->context().menus.Item("Plugins1");
  ASSERT_EQ(menu.children.size(), 1u);
  EXPECT_EQ(menu.children[0]->caption, "No Plug-ins");
  EXPECT_FALSE(menu.children[0]->enabled);

  // Unchecking a plug-in that was never loaded only stores the flag.
  FreePlugin(h.player->context(), h.player->state(), "never.so");
  EXPECT_TRUE(h.audio.plugins_freed.empty());
}

TEST(NetworkOptionsTest, TheProxyAndPassiveFtpAreRestoredAtStart) {
  PlayerHarness h;
  h.WriteSettings(
      "[settings]\r\nDonationMsg=0\r\nProxy=me:pw@host:8080\r\n"
      "FTPPassive=0\r\n");
  ASSERT_TRUE(h.Start());
  auto log = h.audio.config_log();
  EXPECT_NE(std::find(log.begin(), log.end(),
                      std::pair<int, std::string>{17, "me:pw@host:8080"}),
            log.end());
  EXPECT_NE(
      std::find(log.begin(), log.end(), std::pair<int, std::string>{18, "0"}),
      log.end());
  EXPECT_TRUE(h.player->context().menus.Checked("Proxy1"));

  PlayerHarness plain;
  ASSERT_TRUE(plain.Start());
  log = plain.audio.config_log();
  EXPECT_NE(std::find(log.begin(), log.end(),
                      std::pair<int, std::string>{17, "<none>"}),
            log.end());
  EXPECT_NE(
      std::find(log.begin(), log.end(), std::pair<int, std::string>{18, "1"}),
      log.end());
  EXPECT_FALSE(plain.player->context().menus.Checked("Proxy1"));
}

TEST(NetworkOptionsTest, TheProxyClickAsksStoresAndApplies) {
  PlayerHarness h;
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nProxy=old:1\r\n");
  ASSERT_TRUE(h.Start());
  MenuModel& menus = h.player->context().menus;
  h.player->MenuItemClicked("Proxy1");  // unchecked
  EXPECT_EQ(h.audio.config_log().back(),
            (std::pair<int, std::string>{17, "<none>"}));
  EXPECT_EQ(h.Setting("settings", "Proxy"), "");

  h.dialogs.input_answers.push_back(std::string("host:3128"));
  h.player->MenuItemClicked("Proxy1");
  EXPECT_EQ(h.dialogs.titles.back(), "Proxy Settings");
  EXPECT_EQ(h.dialogs.input_prompts.back(),
            "Example: user:pass@server:port or server:port");
  EXPECT_EQ(h.Setting("settings", "Proxy"), "host:3128");
  EXPECT_EQ(h.audio.config_log().back(),
            (std::pair<int, std::string>{17, "host:3128"}));

  // An empty answer keeps the mark but stores and applies no proxy; the next
  // start leaves the item unchecked.
  h.player->MenuItemClicked("Proxy1");
  h.dialogs.input_answers.push_back(std::string());
  h.player->MenuItemClicked("Proxy1");
  EXPECT_TRUE(menus.Checked("Proxy1"));
  EXPECT_EQ(h.Setting("settings", "Proxy"), "");
  EXPECT_EQ(h.audio.config_log().back(),
            (std::pair<int, std::string>{17, "<none>"}));
}

TEST(NetworkOptionsTest, PassiveFtpIsAppliedAndStoredOnClick) {
  PlayerHarness h;
  ASSERT_TRUE(h.Start());
  h.player->MenuItemClicked("Ftp1");
  EXPECT_EQ(h.audio.config_log().back(),
            (std::pair<int, std::string>{18, "0"}));
  EXPECT_EQ(h.Setting("settings", "FTPPassive"), "0");
  h.player->MenuItemClicked("Ftp1");
  EXPECT_EQ(h.audio.config_log().back(),
            (std::pair<int, std::string>{18, "1"}));
  EXPECT_EQ(h.Setting("settings", "FTPPassive"), "1");
}

}  // namespace
}  // namespace kivo
