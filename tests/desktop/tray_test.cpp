#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "desktop/fake_shell.h"
#include "desktop/menu_test_util.h"
#include "desktop/shell/qt_desktop_services.h"
#include "desktop/shell/qt_main_window.h"
#include "desktop/shell/qt_tray.h"

namespace kivo::desktop {
namespace {

using testing::FakeShellEvents;

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override { tray_.SetEvents(&events_); }

  FakeShellEvents events_;
  QtMainWindow window_;
  QtTray tray_{&window_};
};

TEST_F(TrayTest, ClicksAndTheContextMenuReachTheCore) {
  testing::AddMenuItem(&events_.tray_menu, "About1", "About");
  testing::AddMenuItem(&events_.tray_menu, "Close1", "Close");
  tray_.Activated(QSystemTrayIcon::Trigger);
  testing::ChooseInNextPopup("Close1");
  tray_.Activated(QSystemTrayIcon::Context);
  // The menu closing stands in for the pointer leaving the icon, before the
  // click is handled (which may end the program).
  EXPECT_EQ(events_.log,
            (std::vector<std::string>{"TrayClick", "TrayMenuPopup",
                                      "TrayMouseExit", "Clicked Close1"}));
}

TEST_F(TrayTest, TooltipIsCutAndCanBeSuppressed) {
  tray_.SetTooltip(std::string(200, 'x'));
  EXPECT_EQ(tray_.tooltip_shown().size(), 127);
  tray_.SetTooltipAllowed(false);
  EXPECT_TRUE(tray_.tooltip_shown().isEmpty());
  tray_.SetTooltip("Kivo Player - caf\xE9");
  EXPECT_TRUE(tray_.tooltip_shown().isEmpty());
  tray_.SetTooltipAllowed(true);
  EXPECT_EQ(tray_.tooltip_shown(), QString::fromUtf8("Kivo Player - café"));
}

TEST_F(TrayTest, TheTriplyWrittenAmpersandShowsOnce) {
  tray_.SetTooltip("Tom &&& Jerry");
  EXPECT_EQ(tray_.tooltip_shown(), QStringLiteral("Tom & Jerry"));
  tray_.SetTooltip("Rock & Roll");  // a stream title, written plainly
  EXPECT_EQ(tray_.tooltip_shown(), QStringLiteral("Rock & Roll"));
}

TEST_F(TrayTest, MainWindowHidesAndComesBack) {
  window_.show();
  tray_.HideMainWindow();
  EXPECT_FALSE(window_.isVisible());
  tray_.ShowMainWindow();
  EXPECT_TRUE(window_.isVisible());
  EXPECT_FALSE(window_.isMinimized());
}

TEST(DesktopServicesTest, ClipboardGetsTheDisplayedText) {
  QtDesktopServices services;
  EXPECT_TRUE(services.SetClipboardText("Tom && Jerry caf\xE9"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QString::fromUtf8("Tom && Jerry café"));
}

}  // namespace
}  // namespace kivo::desktop
