#include <gtest/gtest.h>

#include "core/ui/tag_info.h"
#include "ui_test_support.h"

namespace kivo {
namespace {

using testing::FakeAudioLibrary;
using testing::LoadEntries;
using testing::PlayerHarness;

class UiTagWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(h.Start()); }
  void OpenTagsFor(int line) {
    h.window.selected = line;
    h.player->PlaylistMenuPopup();
    h.player->MenuItemClicked("tags1");
  }
  PlayerHarness h;
};

TEST_F(UiTagWindowTest, ShowsTheSelectedEntrysFileAndTags) {
  FakeAudioLibrary::Media media;
  media.tags = {{"%TRCK", "7"},
                {"%TITL", "Song"},
                {"%ARTI", "Band"},
                {"%ALBM", "Record"},
                {"%YEAR", "1999"},
                {"%GNRE", "Rock"},
                {"%CMNT", "line one\r\nline two"}};
  std::string song = h.AddFile("music/song.mp3", media);
  h.player->state().playlist.AppendEntry(song, "song", false);
  LoadEntries(h, {"other.mp3"});
  OpenTagsFor(0);
  ASSERT_EQ(h.tag_window.shown.size(), 1u);
  const TagWindowContent& shown = h.tag_window.shown[0];
  EXPECT_EQ(shown.file_name, "song.mp3");
  EXPECT_EQ(shown.track, "7");
  EXPECT_EQ(shown.song_title, "Song");
  EXPECT_EQ(shown.artist, "Band");
  EXPECT_EQ(shown.album, "Record");
  EXPECT_EQ(shown.year, "1999");
  EXPECT_EQ(shown.genre, "Rock");
  EXPECT_EQ(shown.comment, "line one\r\nline two");
  EXPECT_EQ(shown.title, "Tags");
  EXPECT_EQ(shown.file_caption, "File");
  EXPECT_EQ(shown.track_label, "Track #");
  EXPECT_EQ(shown.comment_label, "Comment");
  EXPECT_EQ(shown.left, 0);
  EXPECT_EQ(shown.top, 0);
  EXPECT_TRUE(h.audio.OpenChannels().empty()) << "the probe is freed";
}

TEST_F(UiTagWindowTest, RemembersWhereItWasMoved) {
  LoadEntries(h, {"a.mp3"});
  h.tag_window.move_to_left = 300;
  h.tag_window.move_to_top = 120;
  OpenTagsFor(0);
  EXPECT_EQ(h.Setting("Tags.Position", "Left"), "300");
  EXPECT_EQ(h.Setting("Tags.Position", "Top"), "120");
  h.tag_window.move_to_left = -1;
  h.tag_window.move_to_top = -1;
  OpenTagsFor(0);
  EXPECT_EQ(h.tag_window.shown.back().left, 300);
  EXPECT_EQ(h.tag_window.shown.back().top, 120);
}

TEST_F(UiTagWindowTest, AStreamShowsItsLastPartAndNoTags) {
  LoadEntries(h, {"http://host/path"});
  OpenTagsFor(0);
  const TagWindowContent& shown = h.tag_window.shown.back();
  EXPECT_EQ(shown.file_name, "path");
  EXPECT_EQ(shown.song_title, "");
  EXPECT_TRUE(h.audio.OpenChannels().empty());
}

TEST_F(UiTagWindowTest, CaptionsComeFromTheTagsSection) {
  h.dir.Write("language/German.lng",
              "[tags]\r\n01=Datei\r\n02=Etiketten\r\n09=Kommentar\r\n");
  h.player->context().settings.WriteText("settings", "Language", "German");
  LoadEntries(h, {"a.mp3"});
  OpenTagsFor(0);
  const TagWindowContent& shown = h.tag_window.shown.back();
  EXPECT_EQ(shown.file_caption, "Datei");
  EXPECT_EQ(shown.title, "Etiketten");
  EXPECT_EQ(shown.tags_caption, "Etiketten");
  EXPECT_EQ(shown.comment_label, "Kommentar");
  EXPECT_EQ(shown.year_label, "Year");
}

TEST_F(UiTagWindowTest, NoSelectionMeansNoTagWindow) {
  LoadEntries(h, {"a.mp3"});
  OpenTagsFor(-1);
  EXPECT_TRUE(h.tag_window.shown.empty()) << "Tags is disabled";
}

}  // namespace
}  // namespace kivo
