#include <gtest/gtest.h>

#include <filesystem>

#include "core/app/expand_argument.h"
#include "core/playlist/kpp_format.h"
#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::PlayerHarness;

// The hand-off as a second start frames it: every path followed by a NUL.
std::string Framed(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += path + '\0';
  return text;
}

TEST(HandOffTest, EachHandedFileIsAppendedPlayedAndAutosaved) {
  PlayerHarness h;
  std::string a = h.AddFile("a.mp3");
  std::string b = h.AddFile("b.ogg");
  h.dir.Write("list.kpp", "");
  ASSERT_TRUE(h.Start());
  // A playlist and an empty piece are skipped, text after the last frame too.
  h.player->HandOffReceived(Framed({a, h.dir.File("list.kpp"), "", b}) +
                            "trailing.mp3");
  h.loop.Drain();
  const PlaylistModel& model = h.player->state().playlist;
  EXPECT_EQ(model.file_list.ToVector(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(LinesOf(model), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(model.playing_index, 1);
  EXPECT_EQ(ParseKpp(h.dir.Read("temp.tmp")), model.file_list.ToVector());
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), h.dir.File("temp.tmp"));
  ASSERT_EQ(h.audio.OpenChannels().size(), 1u);
  EXPECT_EQ(h.audio.ChannelCopy(h.audio.OpenChannels()[0]).location, b);
  EXPECT_TRUE(PoolOf(model).empty());
  EXPECT_EQ(h.window.bring_to_front_calls, 1);
}

// A folder handed over (a file manager's "Open With", `kivo-player *` in a
// music folder) adds its media as Add Directory would, and its first plays.
TEST(HandOffTest, AHandedFolderAddsItsMediaAndPlaysTheFirst) {
  PlayerHarness h;
  std::string single = h.AddFile("single.mp3");
  std::string b = h.AddFile("Album/b.ogg");
  std::string a = h.AddFile("Album/A.mp3");
  h.dir.Write("Album/notes.txt", "");
  ASSERT_TRUE(h.Start());
  h.player->HandOffReceived(
      BuildHandOffText({"single.mp3", "Album"}, h.dir.path()));
  h.loop.Drain();
  const PlaylistModel& model = h.player->state().playlist;
  EXPECT_EQ(model.file_list.ToVector(),
            (std::vector<std::string>{single, a, b}));
  EXPECT_EQ(LinesOf(model), (std::vector<std::string>{"single", "A", "b"}));
  EXPECT_EQ(model.playing_index, 1);
  ASSERT_EQ(h.audio.OpenChannels().size(), 1u);
  EXPECT_EQ(h.audio.ChannelCopy(h.audio.OpenChannels()[0]).location, a);
  EXPECT_EQ(ParseKpp(h.dir.Read("temp.tmp")), model.file_list.ToVector());
}

TEST(HandOffTest, EveryByteOfEveryPathArrivesInOrder) {
  PlayerHarness h;
  std::string acdc = h.AddFile("AC|DC.mp3");
  std::string bar_end = h.AddFile("live|.ogg");
  std::string plain = h.AddFile("plain.flac");
  ASSERT_TRUE(h.Start());
  h.player->HandOffReceived(
      BuildHandOffText({"AC|DC.mp3", bar_end, "plain.flac"}, h.dir.path()));
  h.loop.Drain();
  const PlaylistModel& model = h.player->state().playlist;
  EXPECT_EQ(model.file_list.ToVector(),
            (std::vector<std::string>{acdc, bar_end, plain}));
  EXPECT_EQ(LinesOf(model),
            (std::vector<std::string>{"AC|DC", "live|", "plain"}));
}

TEST(HandOffTest, StreamAddressesAreKeptAsTheyAreAndPlay) {
  PlayerHarness h;
  const std::vector<std::string> streams = {"http://radio.example:8000/live",
                                            "https://radio.example/jazz.mp3",
                                            "ftp://files.example/show.ogg"};
  for (const std::string& stream : streams) {
    h.audio.AddMedia(stream, FakeAudioLibrary::StreamMedia());
  }
  ASSERT_TRUE(h.Start());
  h.player->HandOffReceived(BuildHandOffText(streams, h.dir.path()));
  h.loop.Drain();
  const PlaylistModel& model = h.player->state().playlist;
  EXPECT_EQ(model.file_list.ToVector(), streams);
  EXPECT_EQ(LinesOf(model), (std::vector<std::string>{"live", "jazz", "show"}));
  EXPECT_EQ(model.playing_index, 2);
  ASSERT_EQ(h.audio.OpenChannels().size(), 1u);
  EXPECT_EQ(h.audio.ChannelCopy(h.audio.OpenChannels()[0]).location,
            streams[2]);
  EXPECT_EQ(ParseKpp(h.dir.Read("temp.tmp")), streams);
}

TEST(HandOffTest, ShortTextsOnlyBringTheWindowToTheFront) {
  PlayerHarness h;
  ASSERT_TRUE(h.Start());
  h.player->HandOffReceived("");
  h.player->HandOffReceived("a|b");
  EXPECT_EQ(h.window.bring_to_front_calls, 2);
  EXPECT_TRUE(h.player->state().playlist.Empty());
  EXPECT_FALSE(h.dir.Read("temp.tmp").size());
}

TEST(HandOffTest, AMissingPathArrivesMarkedAndIsSkipped) {
  PlayerHarness h;
  ASSERT_TRUE(h.Start());
  h.player->HandOffReceived(BuildHandOffText({"/none/x.mp3"}, "/"));
  EXPECT_TRUE(h.player->state().playlist.Empty());
}

TEST(CloseTest, CloseToTrayHidesUnlessTheSessionEndsOrNoTrayExists) {
  PlayerHarness h;
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nCloseToTray=1\r\n");
  ASSERT_TRUE(h.Start());
  EXPECT_FALSE(h.player->CloseRequest());
  EXPECT_FALSE(h.tray.window_visible);
  EXPECT_TRUE(h.tray.icon_visible);
  EXPECT_TRUE(h.player->state().window_hidden);

  h.tray.available = false;
  EXPECT_TRUE(h.player->CloseRequest());
  h.tray.available = true;
  h.player->EndSession();
  EXPECT_TRUE(h.player->CloseRequest());
}

TEST(CloseTest, ForgetsThePlaylistWhenNotRemembered) {
  PlayerHarness h;
  h.WriteSettings(
      "[settings]\r\nDonationMsg=0\r\nRememberPlaylist=0\r\nLastPlayed=x\r\n");
  ASSERT_TRUE(h.Start());
  EXPECT_TRUE(h.player->CloseRequest());
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), "");

  PlayerHarness kept;
  kept.WriteSettings("[settings]\r\nDonationMsg=0\r\nLastPlayed=x\r\n");
  ASSERT_TRUE(kept.Start());
  EXPECT_TRUE(kept.player->CloseRequest());
  EXPECT_EQ(kept.Setting("settings", "LastPlayed"), "x");
}

TEST(ShutdownTest, WritesSizeAndPositionAndReleasesTheLibrary) {
  PlayerHarness h;
  std::string a = h.AddFile("a.mp3");
  ASSERT_TRUE(h.Start({a}));
  h.window.SetClientSize(300, 400);
  h.window.SetPosition(12, 34);
  h.player->Shutdown();
  EXPECT_EQ(h.Setting("Size", "Width"), "300");
  EXPECT_EQ(h.Setting("Size", "Height"), "400");
  EXPECT_EQ(h.Setting("Main.Position", "Left"), "12");
  EXPECT_EQ(h.Setting("Main.Position", "Top"), "34");
  EXPECT_EQ(h.audio.open_count(), 0);
  EXPECT_EQ(h.audio.plugins_freed, (std::vector<AudioLibrary::Handle>{0}));
  EXPECT_EQ(h.now_playing.announced.back(), "");
}

TEST(ShutdownTest, SlimModeWritesTheHeightFromBeforeIt) {
  PlayerHarness h;
  ASSERT_TRUE(h.Start());
  h.player->context().menus.SetChecked("SlimMode", true);
  h.player->state().saved_client_height = 300;
  h.window.SetClientSize(231, 0);
  h.player->Shutdown();
  EXPECT_EQ(h.Setting("Size", "Height"), "300");
}

TEST(ShutdownTest, AFailedWriteIsReportedAndTheLibraryIsStillReleased) {
  PlayerHarness h;
  ASSERT_TRUE(h.Start());
  std::filesystem::remove(h.dir.File("settings.ini"));
  std::filesystem::create_directory(h.dir.File("settings.ini"));
  h.player->Shutdown();
  ASSERT_FALSE(h.dialogs.messages.empty());
  EXPECT_EQ(h.dialogs.messages.back().text,
            "Unable to write to " + h.dir.File("settings.ini"));
  EXPECT_EQ(h.audio.init_device(), 0);
}

}  // namespace
}  // namespace kivo
