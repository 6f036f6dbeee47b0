// A second start's hand-off reaching the player while the real progress
// dialog lets the loop run, in the middle of measuring for an M3U save.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "core/app/expand_argument.h"
#include "core/playlist/m3u_format.h"
#include "desktop/shell/qt_dialogs.h"
#include "desktop/shell/unix_instance_link.h"
#include "fakes/player_harness.h"

namespace kivo::desktop {
namespace {

TEST(HandOffDuringProgressTest, TheHandedFileComesAfterTheSaveOfAFullList) {
  QTemporaryDir runtime;
  ASSERT_TRUE(runtime.isValid());
  setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
  kivo::testing::PlayerHarness h;
  ASSERT_TRUE(h.Start());
  UnixInstanceLink running(h.dir.path());
  ASSERT_TRUE(running.Listen(
      [&h](const std::string& text) { h.player->HandOffReceived(text); }));
  h.LoadListOf(3000);  // one more entry moves its storage
  ASSERT_EQ(h.player->state().playlist.Count(), 3000);

  const std::string other = h.AddFile("other.mp3");
  QtDialogs shown(nullptr);
  std::atomic<bool> answered{false};
  std::thread second_start;
  h.dialogs.while_progress = [&] {
    if (second_start.joinable()) return;
    second_start = std::thread([&] {
      UnixInstanceLink starting(h.dir.path());
      answered = starting.HandOff(BuildHandOffText({other}, "/"));
    });
    // The progress dialog runs the loop until the second start is served.
    QElapsedTimer waited;
    waited.start();
    while (h.window.bring_to_front_calls == 0 && waited.elapsed() < 10000) {
      shown.ShowProgress("Measuring the playlist", 32, 3000);
    }
  };
  h.dialogs.save_answers.push_back(std::pair{h.dir.File("big.m3u"), 2});
  h.player->MenuItemClicked("SavePlaylist");
  shown.ShowProgress("Measuring the playlist", -1, 3000);
  ASSERT_TRUE(second_start.joinable());
  second_start.join();

  EXPECT_TRUE(answered);
  EXPECT_EQ(h.window.bring_to_front_calls, 1);
  EXPECT_EQ(ParseM3u(h.dir.Read("big.m3u")).size(), 3000u);
  const PlaylistModel& model = h.player->state().playlist;
  ASSERT_EQ(model.Count(), 3001);
  EXPECT_EQ(model.file_list.back(), other);
  EXPECT_EQ(model.playing_index, 3000);
}

}  // namespace
}  // namespace kivo::desktop
