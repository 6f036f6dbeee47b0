#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <string>
#include <vector>

#include "desktop/shell/qt_dialogs.h"
#include "fakes/player_harness.h"

namespace kivo::desktop {
namespace {

using kivo::testing::PlayerHarness;

// The player's Save Playlist through Qt's own save dialog: the user picks
// "M3U Playlist" and types a name without extension.
TEST(SavePlaylistTest, ABareNameSavedAsM3uComesBackAfterARestart) {
  PlayerHarness h;
  QtDialogs dialogs(nullptr);
  h.player_dialogs = &dialogs;
  h.Restart();
  ASSERT_TRUE(h.Start());
  const std::vector<std::string> paths =
      h.AddEntries({"one.mp3", "two.ogg", "three.flac"});
  const QString typed = QString::fromStdString(h.dir.File("mylist"));
  QTimer::singleShot(0, [typed] {
    auto* dialog =
        qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->selectNameFilter(dialog->nameFilters().at(1));
    dialog->selectFile(typed);
    static_cast<QDialog*>(dialog)->accept();
  });
  h.player->MenuItemClicked("SavePlaylist");

  const std::string saved = h.dir.File("mylist.m3u");
  EXPECT_EQ(h.dir.Read("mylist.m3u").substr(0, 9), "#EXTM3U\r\n");
  EXPECT_EQ(h.Setting("settings", "LastPlayed"), saved);
  EXPECT_EQ(h.player->state().history_list, std::vector<std::string>{saved});

  h.Restart();
  ASSERT_TRUE(h.Start());
  EXPECT_EQ(h.player->state().playlist.file_list.ToVector(), paths);
  EXPECT_EQ(LinesOf(h.player->state().playlist),
            (std::vector<std::string>{"one", "two", "three"}));
}

}  // namespace
}  // namespace kivo::desktop
