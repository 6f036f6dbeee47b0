#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "core/ui/line_style.h"
#include "core/ui/theme.h"
#include "ui_test_support.h"

namespace kivo {
namespace {

using testing::ItemOf;
using testing::LoadEntries;
using testing::PlayerHarness;
using testing::PlayIndex;

TEST(UiParseColorTest, ReordersRedGreenBlueIntoTheWindowsLayout) {
  EXPECT_EQ(ParseColor("#0A246A"), 0x6A240Au);
  EXPECT_EQ(ParseColor("#0000ff"), 0xFF0000u);
  EXPECT_EQ(ParseColor("0000FF"), 0xFF0000u);
  EXPECT_EQ(ParseColor("#FFF"), 0x000FFFu);
  EXPECT_EQ(ParseColor("#112233zz"), 0x332211u) << "after six: ignored";
  EXPECT_EQ(ParseColor("#1"), 0x1u);
  EXPECT_EQ(ReorderColorText("#12345"), "53412");
  for (const char* bad : {"", "#", "#GG0000", "#12 456", "#-10000"}) {
    EXPECT_EQ(ParseColor(bad), std::nullopt) << bad;
  }
}

TEST(UiParseColorTest, LineHeightsFollowTheFontSize) {
  for (auto [size, height] : {std::pair{8, 13},
                              {9, 15},
                              {10, 16},
                              {11, 17},
                              {12, 20},
                              {13, 20},
                              {14, 24},
                              {16, 24},
                              {17, 26},
                              {18, 29},
                              {19, 29},
                              {20, 32},
                              {22, 32},
                              {23, 37},
                              {24, 37}}) {
    EXPECT_EQ(LineHeightForFontSize(size), height) << size;
  }
  for (int size : {0, 7, 25, 30, -8}) {
    EXPECT_EQ(LineHeightForFontSize(size), std::nullopt) << size;
  }
}

class UiThemeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(h.Start()); }
  void Apply(const std::string& content) {
    std::string path = h.dir.Write("Theme/T.ini", content);
    ApplyTheme(h.player->context(), h.player->state(), path);
  }
  const ThemeColors& colors() { return h.player->state().theme_colors; }
  PlayerHarness h;
};

TEST_F(UiThemeTest, NoThemeFileGivesGreenOnBlack) {
  ApplyTheme(h.player->context(), h.player->state(), h.dir.File("none.ini"));
  EXPECT_EQ(h.window.playlist_look.background, 0x000000u);
  EXPECT_EQ(h.window.playlist_look.font_color, 0x00FF00u);
  EXPECT_EQ(h.window.playlist_look.font_name, "MS Sans Serif");
  EXPECT_EQ(h.window.playlist_look.line_height, 13);
  EXPECT_EQ(h.window.seekbar_look.background, 0xC8D0D4u);
  EXPECT_EQ(h.window.right_look.bar, 0x6A240Au);
  EXPECT_EQ(colors().selected_item_color, 0x6A240Au);
  EXPECT_EQ(colors().queued_item_color, 0x0000FFu);
  EXPECT_EQ(colors().playing_item_color, 0x00FF00u);
  EXPECT_TRUE(colors().playing_item_bold);
  EXPECT_EQ(colors().volume_progress_color, "#000000");
}

TEST_F(UiThemeTest, KeysAreReadInAnyCaseAndFontSizeSetsTheLineHeight) {
  Apply(
      "[theme]\r\nBACKGROUND_COLOR=#102030\r\nfont_size=12\r\n"
      "font_name=DejaVu Sans\r\nvu-left_color=#010203\r\n"
      "Volume_Progress_Color=#abcdef\r\nPlaying_item_bold=0\r\n");
  EXPECT_EQ(h.window.playlist_look.background, 0x302010u);
  EXPECT_EQ(h.window.playlist_look.font_size, 12);
  EXPECT_EQ(h.window.playlist_look.font_name, "DejaVu Sans");
  EXPECT_EQ(h.window.playlist_look.line_height, 20);
  EXPECT_EQ(h.window.left_look.bar, 0x030201u);
  EXPECT_EQ(colors().volume_progress_color, "#abcdef");
  EXPECT_FALSE(colors().playing_item_bold);
  Apply("[Theme]\r\nfont_size=30\r\nPlaying_item_bold=false\r\n");
  EXPECT_EQ(h.window.playlist_look.line_height, 20) << "30 keeps it";
  EXPECT_TRUE(colors().playing_item_bold) << "not a number: the default";
}

TEST_F(UiThemeTest, AnUnreadableColourStopsTheThemeAtThatKey) {
  Apply(
      "[Theme]\r\nbackground_color=#112233\r\nitem_color=#12zz56\r\n"
      "font_size=14\r\nSelected_Item_Color=#445566\r\n");
  EXPECT_EQ(h.window.playlist_look.background, 0x332211u);
  EXPECT_EQ(h.window.playlist_look.font_size, 8) << "after the bad key";
  EXPECT_EQ(colors().selected_item_color, 0x6A240Au);
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].text,
            "'$56zz12' is not a valid integer value");

  Apply("[Theme]\r\nQueued_Item_Color=\r\nitem_color=#000001\r\n");
  EXPECT_EQ(colors().item_color, 0x010000u) << "read before the bad one";
  EXPECT_EQ(h.dialogs.messages.back().text, "'$' is not a valid integer value");
}

TEST_F(UiThemeTest, MenuListsExactIniFilesAndSelectionStoresFirst) {
  h.dir.Write("Theme/Dark.INI", "");
  h.dir.Write("Theme/Red.ini", "[Theme]\r\nbackground_color=#FF0000\r\n");
  h.dir.Write("Theme/notes.txt", "");
  BuildThemeMenu(h.player->context(), h.player->state());
  const MenuItem& themes = ItemOf(h, "Theme1");
  ASSERT_EQ(themes.children.size(), 1u);
  EXPECT_EQ(themes.children[0]->caption, "Red");
  const std::string red = themes.children[0]->name;
  h.player->MenuItemClicked(red);
  EXPECT_EQ(h.Setting("settings", "Theme"), "Red");
  EXPECT_EQ(h.window.playlist_look.background, 0x0000FFu);
  EXPECT_TRUE(ItemOf(h, red).checked);

  std::filesystem::remove(h.dir.File("Theme/Red.ini"));
  h.player->MenuItemClicked(red);
  EXPECT_EQ(h.Setting("settings", "Theme"), "Red");
  EXPECT_EQ(h.window.playlist_look.background, 0x000000u);
}

TEST_F(UiThemeTest, LinesTakeThemeColoursForPlayingQueuedAndSelected) {
  Apply(
      "[Theme]\r\nbackground_color=#000010\r\nitem_color=#000020\r\n"
      "Selected_Item_Color=#000030\r\nPlaying_item_color=#000040\r\n"
      "Queued_Item_Color=#000050\r\n");
  std::vector<std::string> locations =
      LoadEntries(h, {"a.mp3", "b.mp3", "c.mp3"});
  PlayIndex(h, 1);
  std::string shouted = locations[1];
  for (char& c : shouted) c = static_cast<char>(std::toupper(c));
  h.player->state().queue_list = {"/nowhere", shouted, locations[2]};
  LineStyle plain = h.player->StyleOf(0, false, false);
  EXPECT_EQ(plain.brush, 0x100000u);
  EXPECT_EQ(plain.text_color, 0x200000u);
  EXPECT_FALSE(plain.bold);
  LineStyle selected = h.player->StyleOf(0, true, true);
  EXPECT_EQ(selected.brush, 0x300000u);
  EXPECT_EQ(selected.text_color, 0x200000u) << "selection keeps the text";
  EXPECT_TRUE(selected.focus_rect);
  LineStyle playing_queued = h.player->StyleOf(1, false, false);
  EXPECT_EQ(playing_queued.text_color, 0x500000u);
  EXPECT_TRUE(playing_queued.bold);
  LineStyle queued = h.player->StyleOf(2, false, false);
  EXPECT_EQ(queued.text_color, 0x500000u);
  EXPECT_FALSE(queued.bold);
  h.player->state().queue_list.clear();
  EXPECT_EQ(h.player->StyleOf(1, false, false).text_color, 0x400000u);
  h.player->state().theme_colors.playing_item_bold = false;
  EXPECT_FALSE(h.player->StyleOf(1, false, false).bold);
}

}  // namespace
}  // namespace kivo
