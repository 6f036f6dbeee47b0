#include <gtest/gtest.h>

#include "fakes/player_harness.h"

namespace kivo {
namespace {

using testing::PlayerHarness;

constexpr char kNoPortal[] = "This desktop offers no global shortcuts.";

class HotkeyAvailabilityTest : public ::testing::Test {
 protected:
  void StartWith(const std::string& enable_hot_key) {
    h.WriteSettings("[settings]\r\nDonationMsg=0\r\nEnableHotKey=" +
                    enable_hot_key + "\r\n");
    h.Start();
  }
  void ClickOption() { h.player->MenuItemClicked("Globalehotkeys1"); }

  PlayerHarness h;
};

TEST_F(HotkeyAvailabilityTest, EachHotkeyIsNamedAfterItsKeyInTheTable) {
  StartWith("1");
  ASSERT_EQ(h.hotkeys.names.size(), 8u);
  const HotkeyAction actions[] = {HotkeyAction::kPlay, HotkeyAction::kVolUp,
                                  HotkeyAction::kSearch};
  const char* names[] = {"Play", "Vol_Up", "Search"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(h.hotkeys.names[h.player->hotkeys().IdOf(actions[i])], names[i]);
  }
}

TEST_F(HotkeyAvailabilityTest, SwitchingOnWithoutHotkeysSaysWhyOncePerRun) {
  h.hotkeys.unavailable = kNoPortal;
  StartWith("1");
  EXPECT_TRUE(h.dialogs.messages.empty()) << "a start stays quiet";
  ClickOption();  // off
  ClickOption();  // on
  ASSERT_EQ(h.dialogs.messages.size(), 1u);
  EXPECT_EQ(h.dialogs.messages[0].text, kNoPortal);
  EXPECT_TRUE(h.player->context().menus.Checked("Globalehotkeys1"));
  EXPECT_EQ(h.Setting("settings", "EnableHotKey"), "1");
  ClickOption();
  ClickOption();
  EXPECT_EQ(h.dialogs.messages.size(), 1u) << "told once";
}

TEST_F(HotkeyAvailabilityTest, SwitchingOnWhereHotkeysWorkShowsNothing) {
  StartWith("0");
  ClickOption();
  EXPECT_TRUE(h.dialogs.messages.empty());
  EXPECT_EQ(h.hotkeys.registered.size(), 8u);
}

}  // namespace
}  // namespace kivo
