#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace kivo {
namespace {

using testing::ItemOf;
using testing::LoadEntries;
using testing::PlayerHarness;
using testing::PlayIndex;

class UiPopupTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(h.Start()); }
  bool Enabled(const char* name) { return ItemOf(h, name).enabled; }
  std::string Caption(const char* name) { return ItemOf(h, name).caption; }
  void PopupOn(int selected_line) {
    h.window.selected = selected_line;
    h.player->PlaylistMenuPopup();
    h.player->TrayMenuPopup();
  }
  PlayerHarness h;
};

TEST_F(UiPopupTest, NothingSelectedAndNothingPlayingDisablesTheLineCommands) {
  LoadEntries(h, {"a.mp3", "b.mp3"});
  PopupOn(-1);
  for (const char* item :
       {"Play", "Remove", "tags1", "Queue1", "Record1", "Stop", "Previous"}) {
    EXPECT_FALSE(Enabled(item)) << item;
  }
  EXPECT_TRUE(Enabled("Next")) << "PlayingIndex -1 is not the last line";
  PopupOn(1);
  for (const char* item : {"Play", "Remove", "tags1", "Queue1"}) {
    EXPECT_TRUE(Enabled(item)) << item;
  }
  EXPECT_FALSE(Enabled("Stop"));
  EXPECT_EQ(Caption("Play"), "Play");
}

TEST_F(UiPopupTest, PlayCaptionFollowsTheSelectedLineAndTheChannel) {
  LoadEntries(h, {"a.mp3", "http://radio/live"});
  AudioLibrary::Handle channel = PlayIndex(h, 1);
  PopupOn(1);
  EXPECT_EQ(Caption("Play"), "Pause");
  EXPECT_EQ(Caption("Play1"), "Pause");
  h.audio.SetState(channel, AudioLibrary::kActivePaused);
  PopupOn(1);
  EXPECT_EQ(Caption("Play"), "Resume");
  EXPECT_EQ(Caption("Play1"), "Resume");
  EXPECT_FALSE(Enabled("Record1"));
  EXPECT_FALSE(Enabled("Record2"));
  PopupOn(0);
  EXPECT_EQ(Caption("Play"), "Play");
  h.audio.SetState(channel, AudioLibrary::kActiveStopped);
  PopupOn(1);
  EXPECT_EQ(Caption("Play"), "Play");
  EXPECT_EQ(Caption("Play1"), "Play");
  EXPECT_FALSE(Enabled("Stop"));
  EXPECT_FALSE(Enabled("Stop1"));
}

TEST_F(UiPopupTest, RecordIsOfferedForAPlayingStreamUntilItRecords) {
  LoadEntries(h, {"a.mp3", "http://radio/live"});
  PlayIndex(h, 1);
  PopupOn(0);
  EXPECT_TRUE(Enabled("Record1"));
  EXPECT_TRUE(Enabled("Record2"));
  bool recording = true;
  h.player->state().hooks.recording_active = [&recording] { return recording; };
  PopupOn(0);
  EXPECT_FALSE(Enabled("Record1"));
  EXPECT_FALSE(Enabled("Record2"));
  PopupOn(-1);
  EXPECT_FALSE(Enabled("Record1"));
  recording = false;
  PopupOn(-1);
  EXPECT_TRUE(Enabled("Record1")) << "a playing channel keeps Record";

  PlayIndex(h, 0);
  PopupOn(0);
  EXPECT_FALSE(Enabled("Record1")) << "a local file cannot be recorded";
  EXPECT_FALSE(Enabled("Record2"));
}

TEST_F(UiPopupTest, StalledChannelLeavesThePlaybackItemsAsTheyWere) {
  LoadEntries(h, {"http://radio/live"});
  AudioLibrary::Handle channel = PlayIndex(h, 0);
  PopupOn(0);
  h.audio.SetState(channel, AudioLibrary::kActiveStalled);
  h.player->context().menus.SetCaption("Play", "kept");
  PopupOn(0);
  EXPECT_EQ(Caption("Play"), "kept");
  EXPECT_EQ(Caption("Play1"), "Pause");
  EXPECT_TRUE(Enabled("Record2"));
}

TEST_F(UiPopupTest, VolumeLineUsesTheShortestNumber) {
  for (auto [volume, text] : {std::pair{"10000", "Volume: 100%"},
                              {"5050", "Volume: 50.5%"},
                              {"0", "Volume: 0%"}}) {
    h.player->context().settings.WriteText("settings", "volume", volume);
    PopupOn(-1);
    EXPECT_EQ(Caption("Volumestat"), text);
  }
}

TEST_F(UiPopupTest, NextAndPreviousFollowThePlayingLineAndShuffle) {
  MenuModel& menus = h.player->context().menus;
  menus.SetChecked("Shuffle1", true);
  PopupOn(-1);
  EXPECT_FALSE(Enabled("Next")) << "an empty list has nothing next";
  LoadEntries(h, {"a.mp3", "b.mp3", "c.mp3"});
  PlayIndex(h, 2);
  PopupOn(2);
  EXPECT_TRUE(Enabled("Next"));
  EXPECT_TRUE(Enabled("Next1"));
  EXPECT_TRUE(Enabled("Previous"));
  EXPECT_TRUE(Enabled("Previous1"));
  menus.SetChecked("RepeatAll1", true);
  PopupOn(2);
  EXPECT_FALSE(Enabled("Next"));
  EXPECT_FALSE(Enabled("Next1"));
  PlayIndex(h, 0);
  PopupOn(0);
  EXPECT_TRUE(Enabled("Next"));
  EXPECT_FALSE(Enabled("Previous"));
  EXPECT_FALSE(Enabled("Previous1"));
  PlayIndex(h, 1);
  PopupOn(0);
  EXPECT_TRUE(Enabled("Previous"));
}

TEST_F(UiPopupTest, TrayMenuWithNothingLoaded) {
  h.tray.tooltip_allowed = true;
  PopupOn(-1);
  EXPECT_EQ(Caption("PlayingSong"), "(none)");
  for (const char* item :
       {"PlayingSong", "Play1", "Previous1", "Next1", "Record2", "Stop1"}) {
    EXPECT_FALSE(Enabled(item)) << item;
  }
  EXPECT_FALSE(h.tray.tooltip_allowed);
  h.player->TrayMouseExit();
  EXPECT_TRUE(h.tray.tooltip_allowed);
}

TEST_F(UiPopupTest, TrayPlayActsOnThePlayingEntryWithoutASelection) {
  LoadEntries(h, {"a.mp3", "b.mp3"});
  PlayIndex(h, 0);
  PopupOn(-1);
  EXPECT_TRUE(Enabled("Play1"));
  EXPECT_TRUE(Enabled("Stop1"));
  EXPECT_TRUE(Enabled("PlayingSong"));
  EXPECT_TRUE(Enabled("Next1"));
  EXPECT_FALSE(Enabled("Play")) << "the playlist's Play needs a selection";
}

TEST_F(UiPopupTest, CaptionsComeFromTheCurrentLanguage) {
  h.dir.Write("language/Pirate.lng",
              "[menu]\r\n01=Hoist\r\n02=Belay\r\n[options]\r\n19=Noise\r\n"
              "[strings]\r\n11=(nothin')\r\n");
  h.player->context().settings.WriteText("settings", "Language", "Pirate");
  LoadEntries(h, {"a.mp3"});
  PopupOn(0);
  EXPECT_EQ(Caption("Play"), "Hoist");
  EXPECT_EQ(Caption("PlayingSong"), "(nothin')");
  EXPECT_EQ(Caption("Volumestat"), "Noise: 50%");
  PlayIndex(h, 0);
  PopupOn(0);
  EXPECT_EQ(Caption("Play"), "Belay");
}

TEST_F(UiPopupTest, PopupRemembersTheSelectedLocationOnly) {
  std::vector<std::string> locations = LoadEntries(h, {"a.mp3", "b.mp3"});
  PopupOn(1);
  EXPECT_EQ(h.player->state().ui.popup_location, locations[1]);
  PopupOn(-1);
  EXPECT_EQ(h.player->state().ui.popup_location, locations[1]);
  PopupOn(7);
  EXPECT_EQ(h.player->state().ui.popup_location, locations[1])
      << "a stale selection outside the list is no selection";
}

}  // namespace
}  // namespace kivo
