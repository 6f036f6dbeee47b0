#include <gtest/gtest.h>

#include <algorithm>

#include "core/playlist/kpp_format.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::PlayerHarness;

TEST(StartupTest, NoArgumentRestoresTheRememberedPlaylist) {
  PlayerHarness h;
  std::string a = h.AddFile("a.mp3");
  h.dir.Write("list.kpp", a + "\r\n\r\nhttp://radio/live\r\n");
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nLastPlayed=" +
                  h.dir.File("list.kpp") + "\r\n");
  ASSERT_TRUE(h.Start());
  const PlaylistModel& model = h.player->state().playlist;
  ASSERT_EQ(model.Count(), 3);
  EXPECT_EQ(model.Line(0), "a");
  EXPECT_EQ(model.Line(1), "[Error] ");
  EXPECT_EQ(model.Line(2), "[S] http://radio/live");
  EXPECT_EQ(model.playing_index, -1);
  EXPECT_EQ(PoolOf(model).size(), 3u);
  EXPECT_EQ(h.audio.open_count(), 0);
}

TEST(StartupTest, OneMediaArgumentIsAddedAndPlays) {
  PlayerHarness h;
  std::string a = h.AddFile("a.mp3");
  ASSERT_TRUE(h.Start({"a.mp3"}));
  const PlaylistModel& model = h.player->state().playlist;
  ASSERT_EQ(model.Count(), 1);
  EXPECT_EQ(model.file_list[0], a);
  EXPECT_EQ(model.Line(0), "a");
  EXPECT_EQ(h.player->playback().ChannelState(), AudioLibrary::kActivePlaying);
}

TEST(StartupTest, AKppArgumentLoadsAndPlaysItsFirstEntry) {
  PlayerHarness h;
  std::string a = h.AddFile("a.mp3");
  std::string b = h.AddFile("b.mp3");
  h.dir.Write("mix.kpp", b + "\r\n" + a + "\r\n");
  ASSERT_TRUE(h.Start({h.dir.File("mix.kpp")}));
  EXPECT_EQ(h.player->state().playlist.Count(), 2);
  EXPECT_EQ(h.player->state().playlist.playing_index, 0);
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), h.dir.File("mix.kpp"));
  ASSERT_EQ(h.audio.OpenChannels().size(), 1u);
  EXPECT_EQ(h.audio.ChannelCopy(h.audio.OpenChannels()[0]).location, b);
}

TEST(StartupTest, CapitalPlaylistExtensionsLoadNothingAndKeepLastPlayed) {
  PlayerHarness h;
  h.dir.Write("LIST.M3U", "/x.mp3\r\n");
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nLastPlayed=keep\r\n");
  ASSERT_TRUE(h.Start({h.dir.File("LIST.M3U")}));
  EXPECT_TRUE(h.player->state().playlist.Empty());
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), "keep");
}

// A program folder that remembers a playlist of one existing file.
std::string RememberOneEntry(PlayerHarness& h) {
  std::string remembered = h.AddFile("r.mp3");
  h.dir.Write("list.kpp", remembered + "\r\n");
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nLastPlayed=" +
                  h.dir.File("list.kpp") + "\r\n");
  return remembered;
}

TEST(StartupTest, ARelativePlaylistArgumentIsRememberedByItsAbsolutePath) {
  PlayerHarness h;
  std::string a = h.AddFile("music/a.mp3");
  h.dir.Write("music/list.kpp", a + "\r\n");
  ASSERT_TRUE(h.player->Startup({"list.kpp"}, h.dir.File("music")));
  h.loop.Drain();
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), h.dir.File("music/list.kpp"));
  EXPECT_EQ(h.player->state().playlist.file_list.ToVector(),
            std::vector<std::string>{a});
  EXPECT_EQ(h.player->playback().ChannelState(), AudioLibrary::kActivePlaying);
}

// `kivo-player ~/Music/Album`: the folder's media, in name order and from
// its subfolders too, make the list, and the first plays. A folder without
// media is no playlist: the remembered one comes back.
TEST(StartupTest, AFolderArgumentBecomesThePlaylistAndPlays) {
  PlayerHarness h;
  RememberOneEntry(h);
  std::string second = h.AddFile("Album/02 Two.mp3");
  std::string first = h.AddFile("Album/01 One.flac");
  std::string bonus = h.AddFile("Album/CD2/01 Bonus.ogg");
  h.dir.Write("Album/cover.jpg", "");
  ASSERT_TRUE(h.player->Startup({"Album"}, h.dir.path()));
  h.loop.Drain();
  const PlaylistModel& model = h.player->state().playlist;
  EXPECT_EQ(model.file_list.ToVector(),
            (std::vector<std::string>{first, second, bonus}));
  EXPECT_EQ(model.playing_index, 0);
  ASSERT_EQ(h.audio.OpenChannels().size(), 1u);
  EXPECT_EQ(h.audio.ChannelCopy(h.audio.OpenChannels()[0]).location, first);
  EXPECT_EQ(ParseKpp(h.dir.Read("temp.tmp")), model.file_list.ToVector());

  PlayerHarness empty;
  std::string remembered = RememberOneEntry(empty);
  empty.dir.Write("Pictures/cover.jpg", "");
  ASSERT_TRUE(empty.player->Startup({"Pictures"}, empty.dir.path()));
  empty.loop.Drain();
  EXPECT_EQ(empty.player->state().playlist.file_list.ToVector(),
            std::vector<std::string>{remembered});
}

TEST(StartupTest, AStreamAddressArgumentIsAddedAndPlays) {
  PlayerHarness h;
  const std::string address = "http://radio.example:8000/live";
  h.audio.AddMedia(address, FakeAudioLibrary::StreamMedia());
  ASSERT_TRUE(h.Start({address}));
  const PlaylistModel& model = h.player->state().playlist;
  EXPECT_EQ(model.file_list.ToVector(), std::vector<std::string>{address});
  EXPECT_EQ(LinesOf(model), std::vector<std::string>{"[S] " + address});
  EXPECT_EQ(model.playing_index, 0);
  EXPECT_EQ(h.player->playback().ChannelState(), AudioLibrary::kActivePlaying);
}

TEST(StartupTest, SeveralArgumentsRestoreAndThenArriveAsAHandOff) {
  PlayerHarness h;
  std::string remembered = RememberOneEntry(h);
  std::string a = h.AddFile("a.mp3");
  std::string b = h.AddFile("b|c.ogg");
  h.dir.Write("other.kpp", a + "\r\n");
  ASSERT_TRUE(h.Start({"a.mp3", "other.kpp", "missing.mp3", "b|c.ogg"}));
  const PlaylistModel& model = h.player->state().playlist;
  // A playlist among them is not taken, as in a hand-off.
  EXPECT_EQ(model.file_list.ToVector(),
            (std::vector<std::string>{remembered, a, b}));
  EXPECT_EQ(LinesOf(model), (std::vector<std::string>{"r", "a", "b|c"}));
  EXPECT_EQ(model.playing_index, 2);
  ASSERT_EQ(h.audio.OpenChannels().size(), 1u);
  EXPECT_EQ(h.audio.ChannelCopy(h.audio.OpenChannels()[0]).location, b);
  EXPECT_EQ(ParseKpp(h.dir.Read("temp.tmp")), model.file_list.ToVector());
  // The remembered file itself is untouched.
  EXPECT_EQ(h.dir.Read("list.kpp"), remembered + "\r\n");
}

TEST(StartupTest, AnUnusableArgumentRestoresTheRememberedPlaylistAndSaysSo) {
  for (const char* argument : {"notes.txt", "typo.mp3", "LIST.M3U"}) {
    PlayerHarness h;
    std::string remembered = RememberOneEntry(h);
    h.dir.Write("notes.txt", "");
    h.dir.Write("LIST.M3U", "/x.mp3\r\n");
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(h.Start({argument}));
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(h.player->state().playlist.file_list.ToVector(),
              std::vector<std::string>{remembered})
        << argument;
    EXPECT_EQ(h.Setting("settings", "LastPlayed"), h.dir.File("list.kpp"));
    EXPECT_EQ(h.audio.open_count(), 0);
    EXPECT_NE(said.find(argument), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(!said.empty() && said.back() == '\n');
  }
}

TEST(StartupTest, AMissingArgumentIsNotAdded) {
  PlayerHarness h;
  h.AddFile("a.mp3");
  ASSERT_TRUE(h.Start({"missing.mp3"}));
  EXPECT_TRUE(h.player->state().playlist.Empty());
}

TEST(StartupTest, LastPlayedWithCapitalExtensionRestoresNothing) {
  PlayerHarness h;
  h.dir.Write("list.KPP", "/x.mp3\r\n");
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nLastPlayed=" +
                  h.dir.File("list.KPP") + "\r\n");
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.player->state().playlist.Empty());
}

TEST(StartupTest, WrongLibraryVersionOrDeviceEndsTheProgram) {
  PlayerHarness h;
  h.audio.version = 0x02030000;
  EXPECT_FALSE(h.Start());
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].text, "BASS version 2.4 not loaded!");

  PlayerHarness d;
  d.WriteSettings("[settings]\r\nDonationMsg=0\r\ndevice=9\r\n");
  EXPECT_FALSE(d.Start());
  ASSERT_EQ(d.dialogs.messages.size(), 1u);
  EXPECT_EQ(d.dialogs.messages[0].text, "Can\xC2\xB4t initialize audio device");
}

TEST(StartupTest, SetsTheNetworkOptionsAfterInit) {
  PlayerHarness h;
  ASSERT_TRUE(h.Start());
  auto log = h.audio.config_log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], (std::pair<int, std::string>{11, "10000"}));
  EXPECT_EQ(log[1], (std::pair<int, std::string>{16, "Kivo Player v1.31"}));
  EXPECT_EQ(h.audio.init_device(), 1);
}

TEST(StartupTest, DonationPromptIsShownOnceAndYesOpensThePage) {
  PlayerHarness h(false);
  h.dialogs.message_answers.push_back(MessageResult::kYes);
  ASSERT_TRUE(h.Start());
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].caption, "Donation");
  EXPECT_EQ(h.dialogs.messages[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(h.desktop.opened_urls.size(), 1u);
  EXPECT_EQ(h.Setting("settings", "DonationMsg"), "0");
}

TEST(StartupTest, LoadsTheSubmissionQueue) {
  PlayerHarness h;
  h.dir.Write("LastFM.Queue", "A;T;1;200;;\r\nB;U;2;100;Al;3\r\n");
  ASSERT_TRUE(h.Start());
  EXPECT_EQ(h.player->state().submission_queue.size(), 2u);
}

TEST(StartupTest, HiddenSortItemAndGreyedBalloonsWithoutSupport) {
  PlayerHarness h;
  h.tray.balloons_supported = false;
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nShowBalloonHints=1\r\n");
  ASSERT_TRUE(h.Start());
  MenuModel& menus = h.player->context().menus;
  EXPECT_FALSE(menus.Item("SortByABC").visible);
  EXPECT_FALSE(menus.Item("ShowBalloonHints1").enabled);
  EXPECT_TRUE(menus.Item("ShowBalloonHints1").checked);
}

}  // namespace
}  // namespace kivo

namespace kivo {
namespace {

TEST(StartupTest, AFileGivenAtStartIsAnnouncedWhenNowPlayingIsOn) {
  testing::PlayerHarness h;
  testing::FakeAudioLibrary::Media media;
  media.tags = {{"%TITL", "Sine"}, {"%ARTI", "Gen"}};
  std::string a = h.AddFile("a.mp3", media);
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nMSN=1\r\n");
  ASSERT_TRUE(h.Start({a}));
  ASSERT_FALSE(h.now_playing.announced.empty());
  EXPECT_EQ(h.now_playing.announced.back(), "Sine - Gen ()");
}

}  // namespace
}  // namespace kivo
