#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "core/ui/window_snap.h"
#include "ui_test_support.h"

namespace kivo {
namespace {

using testing::LoadEntries;
using testing::PlayerHarness;
using testing::PlayIndex;

class UiWindowModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The level meter's tick belongs to playback; its timer must exist here.
    h.loop.AddTimer("VisTime", 100, [] {});
    ASSERT_TRUE(h.Start());
  }
  void Click(const char* item) { h.player->MenuItemClicked(item); }
  bool Checked(const char* item) {
    return h.player->context().menus.Checked(item);
  }
  PlayerHarness h;
};

TEST_F(UiWindowModesTest, GeneralOptionsApplyAndStoreTheirMark) {
  struct Option {
    const char* item;
    const char* key;
    std::function<bool()> applied;
  };
  const Option options[] = {
      {"AlwaysOnTop", "OnTop", [&] { return h.window.top_most; }},
      {"ShowTrayIcon", "ShowTray", [&] { return h.tray.icon_visible; }},
      {"MinimizeToTray", "MinimizeToTray",
       [&] { return h.tray.minimize_to_tray; }},
      {"Taskbar1", "ShowTaskbar", [&] { return h.window.taskbar_button; }},
      {"Vis", "VUmeter", [&] { return h.window.level_bars; }},
      {"Seekbar1", "Seekbar", [&] { return h.window.seekbar_visible; }},
      {"CloseToTray1", "CloseToTray", nullptr},
      {"RememberPlaylist1", "RememberPlaylist", nullptr},
      {"ShowBalloonHints1", "ShowBalloonHints", nullptr},
  };
  for (const Option& option : options) {
    for (int round = 0; round < 2; ++round) {
      Click(option.item);
      bool on = Checked(option.item);
      EXPECT_EQ(h.Setting("settings", option.key), on ? "1" : "0")
          << option.item;
      if (option.applied) {
        EXPECT_EQ(option.applied(), on) << option.item;
      }
    }
  }
}

TEST_F(UiWindowModesTest, LevelMeterDrivesItsTimerAndZeroesTheBars) {
  Click("Vis");
  EXPECT_TRUE(h.loop.TimerEnabled("VisTime"));
  EXPECT_TRUE(h.window.level_bars);
  h.window.SetLevels(30000, 20000);
  Click("Vis");
  EXPECT_FALSE(h.loop.TimerEnabled("VisTime"));
  EXPECT_FALSE(h.window.level_bars);
  EXPECT_EQ(h.window.level_left, 0);
  EXPECT_EQ(h.window.level_right, 0);
}

TEST_F(UiWindowModesTest, TransparencyItemsSetTheirAlpha) {
  for (auto [item, percent, alpha] : {std::tuple{"Trans20", "20", 204},
                                      {"Trans40", "40", 153},
                                      {"Trans50", "50", 128},
                                      {"Trans60", "60", 102},
                                      {"Trans80", "80", 51}}) {
    Click(item);
    EXPECT_TRUE(h.window.alpha_blend);
    EXPECT_EQ(h.window.alpha, alpha);
    EXPECT_EQ(h.Setting("settings", "Transparent"), percent);
    EXPECT_TRUE(Checked(item));
  }
  Click("Trans100");
  EXPECT_FALSE(h.window.alpha_blend);
  EXPECT_EQ(h.window.alpha, 255);
  EXPECT_EQ(h.Setting("settings", "Transparent"), "100");
  EXPECT_FALSE(Checked("Trans80"));
}

TEST_F(UiWindowModesTest, TimeDisplayAndEscFunctionStoreTheirChoice) {
  Click("Down");
  EXPECT_EQ(h.Setting("settings", "TimeDisplay"), "0");
  EXPECT_FALSE(Checked("UP"));
  Click("UP");
  EXPECT_EQ(h.Setting("settings", "TimeDisplay"), "1");
  for (auto [item, value] : {std::pair{"MinimizeKivoPlayer1", "1"},
                             {"ExitKivoPlayer1", "2"},
                             {"NoFunction1", "3"}}) {
    Click(item);
    EXPECT_TRUE(Checked(item));
    EXPECT_EQ(h.Setting("settings", "ESCKey"), value);
  }
}

TEST_F(UiWindowModesTest, SlimModeRemembersTheHeightAndMirrorsTheCommand) {
  h.window.SetClientSize(231, 350);
  Click("SlimMode");
  EXPECT_EQ(h.window.height, 0);
  EXPECT_TRUE(h.window.slim_command_checked);
  EXPECT_EQ(h.window.slim_command_text, "Slim Mode\tF8");
  EXPECT_EQ(h.Setting("Settings", "SlimMode"), "1");
  h.player->SlimModeCommand();
  EXPECT_FALSE(Checked("SlimMode"));
  EXPECT_FALSE(h.window.slim_command_checked);
  EXPECT_EQ(h.window.height, 350);
  h.player->SlimModeCommand();
  EXPECT_TRUE(Checked("SlimMode"));
  EXPECT_TRUE(h.window.slim_command_checked);
  EXPECT_EQ(h.window.height, 0);
  h.player->Shutdown();
  EXPECT_EQ(h.Setting("Size", "Height"), "350");
}

TEST_F(UiWindowModesTest, CloseToTrayWithoutIconShowsItUntilTheTrayClick) {
  Click("CloseToTray1");
  EXPECT_FALSE(h.player->CloseRequest());
  EXPECT_TRUE(h.tray.icon_visible);
  EXPECT_FALSE(h.tray.window_visible);
  h.player->TrayClick();
  EXPECT_TRUE(h.tray.window_visible);
  EXPECT_FALSE(h.tray.icon_visible);
  EXPECT_FALSE(h.player->state().window_hidden);
  EXPECT_EQ(h.window.restore_calls, 1) << "not minimizing to the tray";
}

TEST_F(UiWindowModesTest, TrayClickHidesIntoTheTrayOrMinimizes) {
  LoadEntries(h, {"a.mp3", "b.mp3"});
  PlayIndex(h, 1);
  h.window.selected = 0;
  h.player->TrayClick();
  EXPECT_EQ(h.window.minimize_calls, 1);
  EXPECT_TRUE(h.player->state().window_hidden);
  EXPECT_EQ(h.window.selected, 1);
  Click("MinimizeToTray");
  h.player->TrayClick();
  EXPECT_TRUE(h.tray.window_visible);
  EXPECT_EQ(h.window.restore_calls, 0);
  h.player->TrayClick();
  EXPECT_FALSE(h.tray.window_visible);
  EXPECT_EQ(h.window.minimize_calls, 1);
}

TEST_F(UiWindowModesTest, NoTrayHostNeverHidesTheWindow) {
  h.tray.available = false;
  Click("MinimizeToTray");
  EXPECT_TRUE(Checked("MinimizeToTray"));
  // The desktop asks for a tray host when the window is minimized.
  EXPECT_TRUE(h.tray.minimize_to_tray);
  Click("CloseToTray1");
  EXPECT_TRUE(h.player->CloseRequest());
  EXPECT_TRUE(h.tray.window_visible);
}

TEST_F(UiWindowModesTest, TrayCloseEndsTheProgramButKeepsTheStoredOption) {
  Click("CloseToTray1");
  Click("Close1");
  EXPECT_EQ(h.window.close_requests, 1);
  EXPECT_FALSE(Checked("CloseToTray1"));
  EXPECT_TRUE(h.player->CloseRequest());
  EXPECT_EQ(h.Setting("settings", "CloseToTray"), "1");
}

TEST_F(UiWindowModesTest, WindowEventsFollowTheTaskbarMark) {
  h.window.taskbar_button = true;
  h.player->WindowFirstShown();
  EXPECT_FALSE(h.window.taskbar_button) << "Show In Taskbar is off";
  LoadEntries(h, {"a.mp3", "b.mp3"});
  PlayIndex(h, 1);
  h.player->ApplicationMinimized();
  EXPECT_TRUE(h.player->state().window_hidden);
  h.window.selected = 0;
  h.player->context().menus.SetChecked("Taskbar1", true);
  h.player->ApplicationRestored();
  EXPECT_FALSE(h.player->state().window_hidden);
  EXPECT_EQ(h.window.selected, 1);
  EXPECT_TRUE(h.window.taskbar_button);
}

TEST(UiSnapTest, EdgesWithinReachArePulledFlush) {
  const WorkArea area{100, 50, 1380, 850};
  auto snapped_x = [&](int x, int width = 200) {
    int y = 400;
    SnapToWorkArea(area, &x, &y, width, 100);
    return x;
  };
  EXPECT_EQ(snapped_x(108), 100) << "8 px inside";
  EXPECT_EQ(snapped_x(111), 111) << "11 px inside";
  EXPECT_EQ(snapped_x(110), 100);
  EXPECT_EQ(snapped_x(96), 100) << "4 px outside";
  EXPECT_EQ(snapped_x(95), 95) << "5 px outside";
  EXPECT_EQ(snapped_x(1380 - 200 - 10), 1180) << "right edge 10 px inside";
  EXPECT_EQ(snapped_x(1380 - 200 + 4), 1180) << "right edge 4 px outside";
  EXPECT_EQ(snapped_x(1380 - 200 + 5), 1185);
  EXPECT_EQ(snapped_x(100, 1283), 97) << "too wide: the right edge wins";

  auto snapped_y = [&](int y, int height = 100) {
    int x = 500;
    SnapToWorkArea(area, &x, &y, 200, height);
    return y;
  };
  EXPECT_EQ(snapped_y(58), 50);
  EXPECT_EQ(snapped_y(61), 61);
  EXPECT_EQ(snapped_y(46), 50);
  EXPECT_EQ(snapped_y(45), 45);
  EXPECT_EQ(snapped_y(745), 750) << "bottom edge 5 px inside";
  EXPECT_EQ(snapped_y(52, 798), 52) << "bottom wins over top";
  EXPECT_EQ(snapped_y(50, 796), 54);
}

}  // namespace
}  // namespace kivo
