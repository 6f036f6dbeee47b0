#include "desktop/shell/key_map.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>

#include "core/platform/menu_item.h"
#include "desktop/fake_shell.h"
#include "desktop/shell/playlist_view.h"

namespace kivo::desktop {
namespace {

using testing::FakePlaylistSource;
using testing::FakeShellEvents;

int Vk(int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  return VirtualKeyOf(QKeyEvent(QEvent::KeyPress, qt_key, mods));
}

TEST(KeyMapTest, QtKeysBecomeWindowsVirtualKeys) {
  EXPECT_EQ(Vk(Qt::Key_X), 88);
  EXPECT_EQ(Vk(Qt::Key_L, Qt::ControlModifier), 'L');
  EXPECT_EQ(Vk(Qt::Key_7), '7');
  EXPECT_EQ(Vk(Qt::Key_7, Qt::KeypadModifier), 0x67);
  EXPECT_EQ(Vk(Qt::Key_F1), vk::kF1);
  EXPECT_EQ(Vk(Qt::Key_F8), vk::kF8);
  EXPECT_EQ(Vk(Qt::Key_F24), 0x87);
  EXPECT_EQ(Vk(Qt::Key_Plus, Qt::KeypadModifier), vk::kAdd);
  EXPECT_EQ(Vk(Qt::Key_Minus, Qt::KeypadModifier), vk::kSubtract);
  EXPECT_EQ(Vk(Qt::Key_Asterisk, Qt::KeypadModifier), 106);
  EXPECT_EQ(Vk(Qt::Key_Slash, Qt::KeypadModifier), 111);
  EXPECT_EQ(Vk(Qt::Key_Enter, Qt::KeypadModifier), vk::kReturn);
  EXPECT_EQ(Vk(Qt::Key_Return), vk::kReturn);
  EXPECT_EQ(Vk(Qt::Key_Escape), vk::kEscape);
  EXPECT_EQ(Vk(Qt::Key_Space), vk::kSpace);
  EXPECT_EQ(Vk(Qt::Key_Left), vk::kLeft);
  EXPECT_EQ(Vk(Qt::Key_Up), vk::kUp);
  EXPECT_EQ(Vk(Qt::Key_Right), vk::kRight);
  EXPECT_EQ(Vk(Qt::Key_Down), vk::kDown);
  EXPECT_EQ(Vk(Qt::Key_Insert), vk::kInsert);
  EXPECT_EQ(Vk(Qt::Key_Delete), vk::kDelete);
  EXPECT_EQ(Vk(Qt::Key_Home), vk::kHome);
  EXPECT_EQ(Vk(Qt::Key_End), vk::kEnd);
  EXPECT_EQ(Vk(Qt::Key_PageUp), 33);
  EXPECT_EQ(Vk(Qt::Key_PageDown), 34);
  EXPECT_EQ(Vk(Qt::Key_Shift), vk::kShift);
  EXPECT_EQ(Vk(Qt::Key_Control), vk::kControl);
  EXPECT_EQ(Vk(Qt::Key_Alt), 18);
  EXPECT_EQ(Vk(Qt::Key_Backspace), vk::kBack);
  EXPECT_EQ(Vk(Qt::Key_Tab), 9);
  // Shift+1 on a US keyboard is still the 1 key.
  EXPECT_EQ(Vk(Qt::Key_Exclam, Qt::ShiftModifier), '1');
  EXPECT_EQ(Vk(Qt::Key_unknown), 0);
}

TEST(KeyMapTest, ModifierKeysCountAsHeldWhilePressedOnly) {
  // X11 reports the modifiers from before the event.
  const ShiftState down =
      ShiftStateOf(QKeyEvent(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier));
  EXPECT_TRUE(down.OnlyShift());
  const ShiftState up = ShiftStateOf(
      QKeyEvent(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier));
  EXPECT_TRUE(up.Empty());
  const ShiftState ctrl_x =
      ShiftStateOf(QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::ControlModifier));
  EXPECT_TRUE(ctrl_x.ctrl);
  EXPECT_FALSE(ctrl_x.shift);
}

TEST(KeyMapTest, ShortcutsAreNamedAsQtShowsThem) {
  EXPECT_EQ(ShortcutSequence(kShortcutCtrl | 'L'),
            QKeySequence(Qt::ControlModifier | Qt::Key_L));
  EXPECT_EQ(ShortcutSequence(kShortcutShift | 'L'),
            QKeySequence(Qt::ShiftModifier | Qt::Key_L));
  EXPECT_EQ(ShortcutSequence(kShortcutAlt | vk::kF8),
            QKeySequence(Qt::AltModifier | Qt::Key_F8));
  EXPECT_EQ(ShortcutSequence(vk::kAdd),
            QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
  EXPECT_EQ(ShortcutSequence(vk::kDelete), QKeySequence(Qt::Key_Delete));
  EXPECT_TRUE(ShortcutSequence(0).isEmpty());
}

class PlaylistKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_.lines = {"one", "two", "three"};
    view_.SetSource(&source_);
    view_.SetEvents(&events_);
    view_.resize(200, 100);
    view_.SelectLine(0);
  }

  void Send(QEvent::Type type, int key, Qt::KeyboardModifiers mods = {},
            bool auto_repeat = false) {
    QKeyEvent event(type, key, mods, QString(), auto_repeat);
    QCoreApplication::sendEvent(&view_, &event);
  }

  FakeShellEvents events_;
  FakePlaylistSource source_;
  PlaylistView view_;
};

TEST_F(PlaylistKeysTest, KeysReachTheCoreAndThenTheList) {
  Send(QEvent::KeyPress, Qt::Key_Down);
  ASSERT_EQ(events_.key_downs.size(), 1u);
  EXPECT_EQ(events_.key_downs[0].virtual_key, vk::kDown);
  EXPECT_TRUE(events_.key_downs[0].shift.Empty());
  EXPECT_EQ(view_.SelectedLine(), 1);  // the list's own handling ran

  Send(QEvent::KeyRelease, Qt::Key_Down);
  ASSERT_EQ(events_.key_ups.size(), 1u);
  EXPECT_EQ(events_.key_ups[0].virtual_key, vk::kDown);
}

TEST_F(PlaylistKeysTest, AShortcutTakenByTheMenuGoesNoFurther) {
  events_.consume_keys = true;
  Send(QEvent::KeyPress, Qt::Key_Down);
  EXPECT_EQ(events_.key_downs.size(), 1u);
  EXPECT_EQ(view_.SelectedLine(), 0);
}

TEST_F(PlaylistKeysTest, ShiftHeldAndAutoRepeatReleasesDropped) {
  Send(QEvent::KeyPress, Qt::Key_Shift);
  Send(QEvent::KeyRelease, Qt::Key_Delete, Qt::ShiftModifier, true);
  Send(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
  ASSERT_EQ(events_.key_downs.size(), 1u);
  EXPECT_TRUE(events_.key_downs[0].shift.OnlyShift());
  ASSERT_EQ(events_.key_ups.size(), 1u);
  EXPECT_EQ(events_.key_ups[0].virtual_key, vk::kShift);
  EXPECT_TRUE(events_.key_ups[0].shift.Empty());
}

}  // namespace
}  // namespace kivo::desktop
