#include "desktop/shell/menu_renderer.h"

#include <gtest/gtest.h>

#include <QActionGroup>
#include <QCursor>

#include "desktop/menu_test_util.h"

namespace kivo::desktop {
namespace {

using testing::AddMenuItem;

QAction* Find(const QMenu& menu, const std::string& name) {
  for (QAction* action : menu.actions()) {
    if (action->data().toString().toStdString() == name) return action;
  }
  return nullptr;
}

class MenuRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddMenuItem(&root_, "Play", "&Play").shortcut = 'X';
    AddMenuItem(&root_, "N1", "-");
    MenuItem& mode = AddMenuItem(&root_, "Mode1", "Mode");
    for (const char* name : {"Shuffle1", "Repeat1", "NoRepeat1"}) {
      MenuItem& radio = AddMenuItem(&mode, name, name);
      radio.radio_group = 1;
      radio.auto_check = true;
    }
    mode.children[1]->checked = true;
    AddMenuItem(&root_, "Record1", "Record").enabled = false;
    AddMenuItem(&root_, "SortByABC", "Sort Playlist").visible = false;
    AddMenuItem(&root_, "Song", "Tom && Jerry");
    MenuItem& on_top = AddMenuItem(&root_, "AlwaysOnTop", "Always On Top");
    on_top.auto_check = true;
    on_top.checked = true;
    on_top.shortcut = kShortcutCtrl | 0x70;
    FillMenu(&menu_, root_);
  }

  MenuItem root_;
  QMenu menu_;
};

TEST_F(MenuRendererTest, ItemsKeepOrderCaptionsAndShortcutText) {
  ASSERT_EQ(menu_.actions().size(), 7);
  EXPECT_EQ(menu_.actions()[0]->text(), QStringLiteral("&Play\tX"));
  EXPECT_TRUE(menu_.actions()[1]->isSeparator());
  EXPECT_EQ(menu_.actions()[1]->data().toString(), QStringLiteral("N1"));
  EXPECT_EQ(Find(menu_, "AlwaysOnTop")->text(),
            QStringLiteral("Always On Top\tCtrl+F1"));
  // "&&" is a literal ampersand, as on Windows.
  EXPECT_EQ(Find(menu_, "Song")->iconText(), QStringLiteral("Tom & Jerry"));
}

TEST_F(MenuRendererTest, StatesMirrorTheModel) {
  EXPECT_FALSE(Find(menu_, "Record1")->isEnabled());
  EXPECT_FALSE(Find(menu_, "SortByABC")->isVisible());
  EXPECT_TRUE(Find(menu_, "Play")->isEnabled());
  EXPECT_FALSE(Find(menu_, "Play")->isCheckable());
  EXPECT_TRUE(Find(menu_, "AlwaysOnTop")->isChecked());
}

TEST_F(MenuRendererTest, RadioItemsFormOneExclusiveGroup) {
  QMenu* mode = Find(menu_, "Mode1")->menu();
  ASSERT_NE(mode, nullptr);
  ASSERT_EQ(mode->actions().size(), 3);
  QActionGroup* group = mode->actions()[0]->actionGroup();
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->isExclusive());
  EXPECT_EQ(mode->actions()[2]->actionGroup(), group);
  EXPECT_FALSE(Find(*mode, "Shuffle1")->isChecked());
  EXPECT_TRUE(Find(*mode, "Repeat1")->isChecked());
}

TEST_F(MenuRendererTest, ExecReturnsTheClickedItemsName) {
  testing::ChooseInNextPopup("Play");
  EXPECT_EQ(ExecMenu(root_, QPoint(10, 10), nullptr), "Play");
}

}  // namespace
}  // namespace kivo::desktop
