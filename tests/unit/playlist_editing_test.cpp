#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::PlayerHarness;
using Lines = std::vector<std::string>;

constexpr ShiftState kNone{};
constexpr ShiftState kShift{true, false, false};

struct EditingTest : ::testing::Test {
  EditingTest() {
    h.Start();
    h.loop.AddTimer("Time", 200, [] {});
    paths = h.AddEntries({"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"});
  }
  PlaylistModel& model() { return h.player->state().playlist; }
  void Play(int index) {
    h.window.selected = index;
    h.player->PlaylistDoubleClick();
    h.loop.Drain();
  }
  AudioLibrary::Handle Channel() {
    return h.player->state().playback.current_channel;
  }
  void Key(int key, ShiftState shift = kNone) {
    EXPECT_FALSE(h.player->KeyDown(key, shift));
  }
  PlayerHarness h;
  Lines paths;
};

TEST_F(EditingTest, RemovingThePlayingEntryLeavesTheSoundPlaying) {
  Play(2);
  h.player->state().queue_list.push_back(paths[2]);
  h.window.selected = 0;
  h.player->MenuItemClicked("Remove");
  EXPECT_EQ(model().playing_index, 1);
  h.window.selected = 1;
  h.player->MenuItemClicked("Remove");
  EXPECT_EQ(model().playing_index, -1);
  EXPECT_EQ(h.audio.ChannelIsActive(Channel()), AudioLibrary::kActivePlaying);
  EXPECT_EQ(model().file_list.ToVector(),
            (Lines{paths[1], paths[3], paths[4]}));
  EXPECT_EQ(PoolOf(model()), model().file_list.ToVector());
  EXPECT_EQ(h.player->state().queue_list, Lines{paths[2]});
  h.loop.Drain();  // the autosave is written in the background
  EXPECT_EQ(h.dir.Read("temp.tmp"),
            paths[1] + "\r\n" + paths[3] + "\r\n" + paths[4] + "\r\n");
  h.window.selected = -1;
  h.player->MenuItemClicked("Remove");
  EXPECT_EQ(model().Count(), 3);
}

TEST_F(EditingTest, NewPlaylistWhilePlayingEmptiesEverythingButTheSound) {
  Play(0);
  h.player->state().queue_list.push_back(paths[3]);
  h.player->MenuItemClicked("Clear");
  EXPECT_TRUE(model().Empty());
  EXPECT_TRUE(PoolOf(model()).empty());
  EXPECT_TRUE(h.player->state().queue_list.empty());
  EXPECT_EQ(model().playing_index, -1);
  EXPECT_EQ(h.audio.ChannelIsActive(Channel()), AudioLibrary::kActivePlaying);
  h.loop.Drain();
  EXPECT_EQ(h.dir.Read("temp.tmp"), "");
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), h.dir.File("temp.tmp"));
}

TEST_F(EditingTest, DraggingMovesTheLineAndThePlayingIndexFollows) {
  model().playing_index = 1;
  h.window.selected = 1;
  h.player->PlaylistDragOver(2);  // neighbours exchange
  EXPECT_EQ(LinesOf(model()), (Lines{"a", "c", "b", "d", "e"}));
  EXPECT_EQ(model().playing_index, 2);
  EXPECT_EQ(h.window.selected, 2);

  h.window.selected = 0;
  h.player->PlaylistDragOver(3);  // a quick drag skips the lines between
  EXPECT_EQ(LinesOf(model()), (Lines{"c", "b", "d", "a", "e"}));
  EXPECT_EQ(model().playing_index, 1);
  h.window.selected = 4;
  h.player->PlaylistDragOver(0);
  EXPECT_EQ(LinesOf(model()), (Lines{"e", "c", "b", "d", "a"}));
  EXPECT_EQ(model().file_list[0], paths[4]);
  EXPECT_EQ(model().playing_index, 2);

  h.loop.Drain();
  std::remove(h.dir.File("temp.tmp").c_str());
  h.player->PlaylistDragOver(-1);  // below the last line: saved, unchanged
  EXPECT_EQ(LinesOf(model()), (Lines{"e", "c", "b", "d", "a"}));
  h.loop.Drain();
  EXPECT_EQ(h.dir.Read("temp.tmp").substr(0, paths[4].size()), paths[4]);
}

TEST_F(EditingTest, RightClickSelectsTheLineUnderThePointer) {
  h.player->PlaylistMouseDown(MouseButton::kRight, 3);
  EXPECT_EQ(h.window.selected, 3);
  h.player->PlaylistMouseDown(MouseButton::kLeft, 1);
  EXPECT_EQ(h.window.selected, 3);
  h.player->PlaylistMouseDown(MouseButton::kRight, -1);
  EXPECT_EQ(h.window.selected, -1);
}

TEST_F(EditingTest, ShiftShowsTheVolumeUntilTheNextKeyIsReleased) {
  h.player->state().theme_colors.volume_progress_color = "#112233";
  h.player->state().theme_colors.seekbar_progress_color = "#0A246A";
  h.player->context().settings.WriteInt("settings", "volume", 3333);
  h.player->state().playback.volume_level = 3333;
  Play(0);
  h.loop.SetTimerEnabled("Time", true);
  Key(vk::kShift, kShift);
  EXPECT_EQ(h.window.Caption(), "Kivo Player  -  Volume: 33.33%");
  EXPECT_EQ(h.window.seekbar_max, 10000);
  EXPECT_EQ(h.window.seekbar_position, 3333);
  EXPECT_TRUE(h.window.seekbar_enabled);
  EXPECT_EQ(h.window.seekbar_look.bar, 0x332211u);
  EXPECT_FALSE(h.loop.TimerEnabled("Time"));

  h.player->KeyUp(vk::kShift, kShift);
  EXPECT_EQ(h.window.Caption(), "Kivo Player");
  EXPECT_EQ(h.window.seekbar_max, 180);
  EXPECT_EQ(h.window.seekbar_position, 0);
  EXPECT_EQ(h.window.seekbar_look.bar, 0x6A240Au);
  EXPECT_TRUE(h.loop.TimerEnabled("Time"));
  EXPECT_FALSE(h.player->state().volume_shown);
}

TEST_F(EditingTest, AShiftClickOnTheVolumeBarUsesItsVolumeScale) {
  Play(0);
  Key(vk::kShift, kShift);
  h.player->SeekbarMouseDown(MouseButton::kLeft, 150, 204, true);
  EXPECT_EQ(h.player->state().playback.volume_level, 7500);
  EXPECT_EQ(h.Setting("settings", "volume"), "7500");
  h.player->SeekbarMouseDown(MouseButton::kLeft, 500, 204, true);
  EXPECT_EQ(h.window.Caption(), "Kivo Player  -  Volume: 100%");
}

TEST_F(EditingTest, ShiftDeleteTrashesTheFileOrSaysItCannot) {
  h.window.selected = 1;
  Key(vk::kDelete, kShift);
  EXPECT_EQ(h.desktop.trashed, Lines{paths[1]});
  EXPECT_EQ(model().Count(), 4);
  EXPECT_EQ(PoolOf(model()).size(), 5u);  // left as it was

  model().AppendEntry("http://radio/live", "[S] http://radio/live", false);
  h.window.selected = 4;
  Key(vk::kDelete, kShift);
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].text, "Unable to delete file!");
  EXPECT_EQ(model().Count(), 5);
  h.desktop.trash_works = false;
  h.window.selected = 0;
  Key(vk::kDelete, kShift);
  EXPECT_EQ(h.dialogs.messages.size(), 2u);
  EXPECT_EQ(model().Count(), 5);
}

TEST_F(EditingTest, ArrowsSeekWithinTheTrackOnlyWhilePlaying) {
  h.WriteSettings("[settings]\r\nDonationMsg=0\r\nForward=200\r\n");
  Play(0);
  h.audio.ChannelSetPosition(Channel(), 3 * 176400, 0);
  h.window.selected = 2;
  Key(vk::kLeft);
  EXPECT_EQ(h.audio.ChannelGetPosition(Channel(), 0), 0u);
  EXPECT_EQ(h.window.selected, -1);
  Key(vk::kRight);  // clamped to the length, 180 s
  EXPECT_EQ(h.audio.ChannelGetPosition(Channel(), 0), 180u * 176400);

  h.audio.ChannelSetPosition(Channel(), 10 * 176400, 0);
  h.audio.ChannelPause(Channel());
  h.window.selected = 1;
  Key(vk::kLeft);
  EXPECT_EQ(h.audio.ChannelGetPosition(Channel(), 0), 10u * 176400);
  EXPECT_EQ(h.window.selected, -1);
}

TEST_F(EditingTest, EnterSpaceHomeAndEnd) {
  Key(vk::kReturn);  // nothing selected: the first entry
  h.loop.Drain();
  EXPECT_EQ(model().playing_index, 0);
  EXPECT_EQ(h.audio.ChannelCopy(Channel()).location, paths[0]);
  Key(vk::kSpace);
  EXPECT_EQ(h.audio.ChannelIsActive(Channel()), AudioLibrary::kActivePaused);
  Key(vk::kSpace);
  EXPECT_EQ(h.audio.ChannelIsActive(Channel()), AudioLibrary::kActivePlaying);
  Key(vk::kEnd);
  EXPECT_EQ(h.window.selected, 4);
  Key(vk::kHome);
  EXPECT_EQ(h.window.selected, 0);
  h.player->KeyDown(vk::kEnd, ShiftState{false, true, false});
  EXPECT_EQ(h.window.selected, 0);
}

TEST_F(EditingTest, DeleteWithoutShiftIsTheRemoveShortcut) {
  h.window.selected = 0;
  EXPECT_TRUE(h.player->KeyDown(vk::kDelete, kNone));
  EXPECT_EQ(model().Count(), 4);
  EXPECT_TRUE(h.desktop.trashed.empty());
}

TEST_F(EditingTest, TheEscFunction) {
  MenuModel& menus = h.player->context().menus;
  menus.SetChecked("NoFunction1", true);
  Key(vk::kEscape);
  EXPECT_EQ(h.window.minimize_calls, 0);
  EXPECT_FALSE(h.loop.quit_called());

  menus.SetChecked("MinimizeKivoPlayer1", true);
  Key(vk::kEscape);
  EXPECT_EQ(h.window.minimize_calls, 1);
  menus.SetChecked("MinimizeToTray", true);
  Key(vk::kEscape);
  EXPECT_FALSE(h.tray.window_visible);
  EXPECT_EQ(h.window.minimize_calls, 1);
  h.tray.available = false;
  Key(vk::kEscape);
  EXPECT_EQ(h.window.minimize_calls, 2);

  menus.SetChecked("ExitKivoPlayer1", true);
  Key(vk::kEscape);
  EXPECT_TRUE(h.loop.quit_called());
  EXPECT_EQ(h.loop.exit_code(), 0);
}

}  // namespace
}  // namespace kivo
