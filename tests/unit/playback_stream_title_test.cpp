#include <gtest/gtest.h>

#include "core/playback/stream_title.h"
#include "playback_fixture.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::PlaybackFixture;

TEST(StreamTitleOfTest, TakesTheQuotedTitleWhateverItHolds) {
  for (auto [meta, title] : {
           std::pair{"StreamTitle='Artist - Song';StreamUrl='';",
                     "Artist - Song"},
           {"StreamTitle='';StreamUrl='';", ""},
           {"StreamTitle='Guns N' Roses - Live';StreamUrl='';",
            "Guns N' Roses - Live"},
           {"StreamTitle='Steins;Gate';", "Steins;Gate"},
           {"StreamTitle='AC;DC - Thunderstruck';", "AC;DC - Thunderstruck"},
           {"StreamUrl='x;y';StreamTitle='Song';", "Song"},
           {"StreamTitle='No end mark'", "No end mark"},
           {"StreamTitle='Cut off", "Cut off"},
       }) {
    EXPECT_EQ(StreamTitleOf(meta), std::optional<std::string>(title)) << meta;
  }
  std::string padded("StreamTitle='Padded';\0\0\0'", 25);
  EXPECT_EQ(StreamTitleOf(padded), "Padded");
  std::string padded_no_end("StreamTitle='Open\0\0'", 20);
  EXPECT_EQ(StreamTitleOf(padded_no_end), "Open");
  EXPECT_EQ(StreamTitleOf("StreamUrl='';"), std::nullopt);
  EXPECT_EQ(StreamTitleOf(""), std::nullopt);
}

TEST(FormatNameTest, NamesExactlyTheKnownTypes) {
  FakeAudioLibrary audio;
  for (auto [ctype, name] : {std::pair{0x10005u, "mp3"},
                             {0x10004u, "mp2"},
                             {0x10003u, "mp1"},
                             {0x10002u, "ogg"},
                             {0x40000u, "wav"},
                             {0x40001u, ""},
                             {0x20000u, "mod"},
                             {0x20001u, "mtm"},
                             {0x20002u, "s3m"},
                             {0x20003u, "xm"},
                             {0x20004u, "it"},
                             {0x100u, "mo3"},
                             {0x20103u, ""},
                             {0x10300u, ""}}) {
    FakeAudioLibrary::Media media;
    media.ctype = ctype;
    std::string location = "/f" + std::to_string(ctype);
    audio.AddMedia(location, media);
    AudioLibrary::Handle channel = audio.StreamCreateFile(location, 0, 0, 0);
    EXPECT_EQ(FormatName(audio, channel), name) << ctype;
  }
  EXPECT_EQ(FormatName(audio, 0), "");
}

TEST(StreamTitleTest, AnMp3StationShowsItsTitlesEverywhereInOrder) {
  PlaybackFixture f;
  f.AddEntry("a.mp3");
  f.AddStream("http://radio/live", AudioLibrary::kCTypeStreamMp3,
              "StreamTitle='Tom & Jerry';StreamUrl='';");
  f.h.player->context().menus.SetChecked("MSNSong1", true);
  f.Play(1);
  EXPECT_EQ(f.model().Line(1), "[S] Tom & Jerry");
  EXPECT_EQ(f.h.player->context().menus.Item("PlayingSong").caption,
            "Tom & Jerry");
  EXPECT_EQ(f.h.tray.tooltip, "Tom & Jerry");
  EXPECT_EQ(f.log.back(), "now:Tom & Jerry+");
  // Network streams neither move the selection nor reach Last.fm.
  EXPECT_EQ(f.h.window.selected, -1);
  EXPECT_FALSE(f.h.loop.TimerEnabled("FMTime"));
  EXPECT_TRUE(f.h.loop.TimerEnabled("Time"));

  f.h.audio.FireMeta(f.Current(), "StreamTitle='Next Song';");
  EXPECT_EQ(f.model().Line(1), "[S] Tom & Jerry");  // not before the GUI runs
  f.h.loop.Drain();
  EXPECT_EQ(f.model().Line(1), "[S] Next Song");
  EXPECT_EQ(f.h.player->Status().title, "Next Song");

  // A title that arrives for a channel already replaced changes nothing.
  AudioLibrary::Handle old = f.Current();
  f.h.audio.FireMeta(old, "StreamTitle='Late';");
  f.Play(0);
  EXPECT_EQ(f.model().Line(1), "[S] Next Song");
}

TEST(StreamTitleTest, OggStationsAndStationsWithoutMetadataKeepTheirLines) {
  PlaybackFixture f;
  f.AddStream("http://ogg/live", AudioLibrary::kCTypeStreamOgg,
              "StreamTitle='Ignored';");
  f.AddStream("http://quiet/live", AudioLibrary::kCTypeStreamMp3);
  f.Play(0);
  f.h.audio.FireMeta(f.Current(), "StreamTitle='Still ignored';");
  f.h.loop.Drain();
  EXPECT_EQ(f.model().Line(0), "[S] http://ogg/live");
  f.Play(1);
  EXPECT_EQ(f.model().Line(1), "[S] http://quiet/live");
  f.h.audio.FireMeta(f.Current(), "StreamTitle='';");
  f.h.loop.Drain();
  EXPECT_EQ(f.model().Line(1), "[S] ");
}

}  // namespace
}  // namespace kivo
