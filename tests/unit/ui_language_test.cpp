#include <gtest/gtest.h>

#include <string>

#include "core/ui/about.h"
#include "core/ui/language_menu.h"
#include "ui_test_support.h"

namespace kivo {
namespace {

using testing::ItemOf;
using testing::PlayerHarness;

class UiLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(h.Start()); }
  Context& context() { return h.player->context(); }
  void UseLanguage(const std::string& name) {
    context().settings.WriteText("settings", "Language", name);
  }
  std::string Caption(const char* item) { return ItemOf(h, item).caption; }
  PlayerHarness h;
};

TEST_F(UiLanguageTest, LookupFollowsTheProfileRules) {
  h.dir.Write("Language/Test.lng",
              "[OPTIONS]\r\n01=\r\n02=  \"Quoted\"  \r\n03= 'single' \r\n"
              "04=  padded  \r\n");
  UseLanguage("Test");
  EXPECT_EQ(context().Text("options", "01", "default"), "");
  EXPECT_EQ(context().Text("Options", "02", "default"), "Quoted");
  EXPECT_EQ(context().Text("options", "03", "default"), "single");
  EXPECT_EQ(context().Text("options", "04", "default"), "padded");
  EXPECT_EQ(context().Text("options", "05", "default"), "default");
  EXPECT_EQ(context().Text("menu", "01", "Play"), "Play");
  EXPECT_EQ(context().language.CurrentLanguage(), "Test");
  UseLanguage("Missing");
  EXPECT_EQ(context().Text("options", "02", "default"), "default");
  EXPECT_EQ(context().language.CurrentLanguage(), "Missing");
}

TEST_F(UiLanguageTest, NothingIsCached) {
  h.dir.Write("language/Test.lng", "[menu]\r\n01=One\r\n");
  UseLanguage("Test");
  EXPECT_EQ(context().Text("menu", "01", "Play"), "One");
  h.dir.Write("language/Test.lng", "[menu]\r\n01=Two\r\n");
  EXPECT_EQ(context().Text("menu", "01", "Play"), "Two");
}

TEST_F(UiLanguageTest, ApplyLanguageRenamesBothMenusAndTheSlimCommand) {
  std::string path = h.dir.Write(
      "language/Test.lng",
      "[menu]\r\n01=P\r\n04=S\r\n08=Shuf\r\n16=M\r\n20=Q\r\n"
      "[Options]\r\n03=Mini\r\n06=Slim\r\n22=Plug\r\n23=None\r\n31=Sort\r\n"
      "33=Unused\r\n42=\r\n[add]\r\n02=U\r\n[playlist]\r\n03=Sv\r\n"
      "[tray]\r\n01=Now\r\n04=Cl\r\n05=Do\r\n");
  h.player->MenuItemClicked("SlimMode");
  MenuModel& menus = context().menus;
  menus.AddChild(menus.Item("Plugins1"), "placeholder").enabled = false;
  ApplyLanguage(context(), h.player->state(), path);
  for (auto [item, caption] :
       {std::pair{"Play", "P"}, {"Play1", "P"},
        {"Stop", "S"},          {"Stop1", "S"},
        {"Shuffle1", "Shuf"},   {"Shuffle2", "Shuf"},
        {"Mode1", "M"},         {"Mode2", "M"},
        {"Queue1", "Q"},        {"MinimizeToTray", "Mini"},
        {"SlimMode", "Slim"},   {"Plugins1", "Plug"},
        {"SortByABC", "Sort"},  {"LastFM1", ""},
        {"AddUrl", "U"},        {"SavePlaylist", "Sv"},
        {"NowPlaying", "Now"},  {"Close1", "Cl"},
        {"Donate1", "Do"},      {"Next", "Next"},
        {"About1", "About"},    {"Transparent", "Transparency"}}) {
    EXPECT_EQ(Caption(item), caption) << item;
  }
  EXPECT_EQ(ItemOf(h, "Plugins1").children[0]->caption, "None");
  EXPECT_EQ(h.window.slim_command_text, "Slim\tF8");
  EXPECT_TRUE(h.window.slim_command_checked) << "the text keeps its mark";
}

TEST_F(UiLanguageTest, AMissingTraySectionLeavesTheTrayInEnglish) {
  std::string path = h.dir.Write(
      "language/Test.lng", "[menu]\r\n01=Lecture\r\n[options]\r\n01=Haut\r\n");
  ApplyLanguage(context(), h.player->state(), path);
  EXPECT_EQ(Caption("AlwaysOnTop"), "Haut");
  EXPECT_EQ(Caption("Play1"), "Lecture") << "menu keys reach the tray too";
  EXPECT_EQ(Caption("Playback"), "Playback");
  EXPECT_EQ(Caption("About1"), "About");
}

TEST_F(UiLanguageTest, TheMenuListsEveryEntryAndSelectionStoresItsName) {
  h.dir.Write("language/German.lng", "[menu]\r\n01=Abspielen\r\n");
  h.dir.Write("language/A&B.lng", "[menu]\r\n01=wrong\r\n");
  h.dir.Write("language/AB.lng", "[menu]\r\n01=Ab\r\n");
  h.dir.Write("language/Old.txt", "");
  h.dir.Write("language/Folder.d/x", "");
  BuildLanguageMenu(context(), h.player->state());
  std::vector<std::string> captions;
  for (const auto& item : ItemOf(h, "Language1").children) {
    captions.push_back(item->caption);
  }
  EXPECT_EQ(captions,
            (std::vector<std::string>{"A&B", "AB", "Folder", "German", "Old"}));
  const std::string a_and_b = ItemOf(h, "Language1").children[0]->name;
  h.player->MenuItemClicked(a_and_b);
  EXPECT_EQ(h.Setting("settings", "Language"), "AB");
  EXPECT_EQ(Caption("Play"), "Ab");
  EXPECT_TRUE(ItemOf(h, a_and_b).checked);

  const std::string old = ItemOf(h, "Language1").children[4]->name;
  h.player->MenuItemClicked(old);
  EXPECT_EQ(h.Setting("settings", "Language"), "Old");
  EXPECT_EQ(Caption("Play"), "Play") << "no Old.lng: English again";
  EXPECT_FALSE(ItemOf(h, a_and_b).checked);
  EXPECT_EQ(context().Text("menu", "01", "Play"), "Play");
}

TEST_F(UiLanguageTest, ASwitchReachesTheNextTextShown) {
  h.dir.Write("language/German.lng",
              "[menu]\r\n01=Abspielen\r\n[options]\r\n06=Schmal\r\n");
  h.player->MenuItemClicked("SlimMode");
  BuildLanguageMenu(context(), h.player->state());
  h.player->MenuItemClicked(ItemOf(h, "Language1").children[0]->name);
  EXPECT_EQ(h.window.slim_command_text, "Schmal\tF8");
  EXPECT_TRUE(h.window.slim_command_checked);
  h.window.selected = -1;
  h.player->TrayMenuPopup();
  EXPECT_EQ(Caption("Play1"), "Abspielen");
}

TEST_F(UiLanguageTest, AboutShowsTheCreditsOfTheLanguageFile) {
  ShowAbout(context());
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  const auto& plain = h.dialogs.messages.back();
  EXPECT_EQ(plain.caption, "Kivo Player v1.31");
  EXPECT_EQ(plain.icon, MessageIcon::kApplication);
  EXPECT_TRUE(plain.text.ends_with("\r\n\r\nTranslation by "));

  h.dir.Write("language/Test.lng",
              "[Kivo.Info]\r\nAuthor=Ann\r\nModified by=Bob\r\n"
              "[strings]\r\n12=Traduit par\r\n");
  UseLanguage("Test");
  ShowAbout(context());
  EXPECT_TRUE(h.dialogs.messages.back().text.ends_with(
      "\r\n\r\nTraduit par Ann\r\nModified by Bob"));
  h.dir.Write("language/Test.lng",
              "[Kivo.Info]\r\nAuthor=Ann\r\nTranslator=Tim\r\n");
  ShowAbout(context());
  EXPECT_TRUE(h.dialogs.messages.back().text.ends_with("Translation by Tim"));
}

TEST_F(UiLanguageTest, PlayingTitleAndDonationGoToTheDesktop) {
  context().menus.SetCaption("PlayingSong", "Tom && Jerry");
  h.player->MenuItemClicked("PlayingSong");
  EXPECT_EQ(h.desktop.clipboard, "Tom && Jerry");
  h.player->MenuItemClicked("Donate1");
  ASSERT_EQ(h.desktop.opened_urls.size(), 1u);
  EXPECT_TRUE(h.desktop.opened_urls[0].starts_with("https://"));
}

}  // namespace
}  // namespace kivo
