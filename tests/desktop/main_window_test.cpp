#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include "desktop/fake_shell.h"
#include "desktop/shell/playlist_view.h"
#include "desktop/shell/progress_bar.h"
#include "desktop/shell/qt_main_window.h"

namespace kivo::desktop {
namespace {

using testing::FakePlaylistSource;
using testing::FakeShellEvents;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_.lines = {"a", "b"};
    window_.Attach(&events_, &source_);
    window_.SetOnClosed([this] { ++closed_; });
    window_.SetClientSize(231, 288);
  }

  void PressOn(QWidget* widget, QPoint pos, Qt::KeyboardModifiers mods) {
    QMouseEvent event(QEvent::MouseButtonPress, pos, widget->mapToGlobal(pos),
                      Qt::LeftButton, Qt::LeftButton, mods);
    QCoreApplication::sendEvent(widget, &event);
  }

  FakeShellEvents events_;
  FakePlaylistSource source_;
  QtMainWindow window_;
  int closed_ = 0;
};

TEST_F(MainWindowTest, LayoutPlacesBarsRightAndSeekbarAtTheBottom) {
  window_.SetLevelBarsVisible(true);
  EXPECT_EQ(window_.level_left().geometry(), QRect(231 - 18, 0, 9, 278));
  EXPECT_EQ(window_.level_right().geometry(), QRect(231 - 9, 0, 9, 278));
  EXPECT_EQ(window_.seekbar().geometry(), QRect(0, 278, 231, 10));
  EXPECT_EQ(window_.playlist().geometry(), QRect(0, 0, 213, 278));
  window_.SetLevelBarsVisible(false);
  window_.SetSeekbarVisible(false);
  EXPECT_EQ(window_.playlist().geometry(), QRect(0, 0, 231, 288));
  EXPECT_FALSE(window_.seekbar().isVisibleTo(&window_));
}

TEST_F(MainWindowTest, SlimModeReportsAZeroClientHeight) {
  window_.SetClientSize(200, 0);
  EXPECT_EQ(window_.ClientHeight(), 0);
  EXPECT_EQ(window_.ClientWidth(), 200);
  window_.SetClientSize(200, 300);
  EXPECT_EQ(window_.ClientHeight(), 300);
}

TEST_F(MainWindowTest, BarsClampAndPaintTheirColours) {
  window_.SetSeekbarRange(100);
  window_.SetSeekbarPosition(150);
  EXPECT_EQ(window_.seekbar().position(), 100);
  window_.SetSeekbarPosition(50);
  window_.SetSeekbarLook({0x00FF00, 0x0000FF});  // green back, red bar
  const QImage image = window_.seekbar().grab().toImage();
  EXPECT_EQ(QColor(image.pixel(10, 5)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(image.pixel(220, 5)), QColor(0, 255, 0));
  window_.SetSeekbarBarColor(0xFF0000);
  EXPECT_EQ(QColor(window_.seekbar().grab().toImage().pixel(10, 5)),
            QColor(0, 0, 255));

  window_.SetLevels(50000, 20000);
  EXPECT_EQ(window_.level_left().position(), 40000);
  EXPECT_EQ(window_.level_right().position(), 20000);
}

TEST_F(MainWindowTest, SeekbarPressesReachTheCoreOnlyWhenEnabled) {
  window_.SetSeekbarEnabled(false);
  PressOn(&window_.seekbar(), QPoint(40, 5), Qt::NoModifier);
  EXPECT_TRUE(events_.log.empty());
  window_.SetSeekbarEnabled(true);
  PressOn(&window_.seekbar(), QPoint(40, 5), Qt::ShiftModifier);
  EXPECT_EQ(events_.seekbar_x, 40);
  EXPECT_EQ(events_.seekbar_width, 231);
  EXPECT_TRUE(events_.seekbar_shift);
  EXPECT_EQ(events_.seekbar_button, MouseButton::kLeft);
}

TEST_F(MainWindowTest, CloseFollowsTheCoresAnswer) {
  window_.show();
  events_.allow_close = false;
  EXPECT_FALSE(window_.close());
  EXPECT_TRUE(window_.isVisible());
  EXPECT_EQ(closed_, 0);
  events_.allow_close = true;
  EXPECT_TRUE(window_.close());
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(events_.log,
            (std::vector<std::string>{"WindowFirstShown", "CloseRequest",
                                      "CloseRequest", "Shutdown"}));
}

TEST_F(MainWindowTest, MinimizeAndRestoreAreReported) {
  window_.show();
  window_.MinimizeApplication();
  window_.RestoreApplication();
  EXPECT_EQ(events_.log, (std::vector<std::string>{"WindowFirstShown",
                                                   "Minimized", "Restored"}));
  window_.hide();
  window_.show();
  EXPECT_EQ(events_.log.size(), 3u);  // first shown once only
}

TEST_F(MainWindowTest, MovesAreSnappedAsTheCoreSays) {
  events_.snap = [](int* x, int* y, int /*width*/, int /*height*/) {
    if (*x < 10) *x = 0;
    if (*y < 10) *y = 0;
  };
  window_.show();
  window_.SetPosition(6, 100);
  QCoreApplication::processEvents();
  EXPECT_EQ(window_.Left(), 0);
  EXPECT_EQ(window_.Top(), 100);
}

TEST_F(MainWindowTest, WindowStateSettersKeepTheWindow) {
  window_.show();
  window_.SetTopMost(true);
  EXPECT_TRUE(window_.top_most());
  EXPECT_TRUE(window_.isVisible());
  window_.SetTopMost(false);
  EXPECT_FALSE(window_.top_most());
  window_.SetAlphaBlend(true, 128);
  EXPECT_NEAR(window_.windowOpacity(), 128 / 255.0, 0.01);
  window_.SetAlphaBlend(false, 128);
  EXPECT_DOUBLE_EQ(window_.windowOpacity(), 1.0);
  window_.SetCaption("caf\xE9");
  EXPECT_EQ(window_.windowTitle(), QString::fromUtf8("café"));
  EXPECT_EQ(window_.Caption(), "caf\xE9");
  window_.SetSlimModeCommand("Slim Mode\tF8", true);
  EXPECT_TRUE(window_.slim_mode_command_checked());
}

TEST_F(MainWindowTest, KeysOnTheWindowItselfReachTheCore) {
  QKeyEvent f8(QEvent::KeyPress, Qt::Key_F8, Qt::NoModifier);
  QCoreApplication::sendEvent(&window_, &f8);
  ASSERT_EQ(events_.key_downs.size(), 1u);
  EXPECT_EQ(events_.key_downs[0].virtual_key, vk::kF8);
}

}  // namespace
}  // namespace kivo::desktop
