#pragma once

#include <string>
#include <vector>

#include "core/platform/main_window.h"
#include "core/platform/tray.h"

namespace kivo::testing {

// Records what the core shows in the main window.
class FakeMainWindow : public MainWindow {
 public:
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  std::string Caption() const override { return caption_; }
  int ClientWidth() const override { return width; }
  int ClientHeight() const override { return height; }
  void SetClientSize(int w, int h) override {
    width = w;
    height = h;
  }
  int Left() const override { return left; }
  int Top() const override { return top; }
  void SetPosition(int l, int t) override {
    left = l;
    top = t;
  }
  WorkArea PrimaryWorkArea() const override { return work_area; }
  void SetTopMost(bool on) override { top_most = on; }
  void SetAlphaBlend(bool enabled, int alpha_0_255) override {
    alpha_blend = enabled;
    alpha = alpha_0_255;
  }
  void SetTaskbarButtonVisible(bool visible) override {
    taskbar_button = visible;
  }
  void MinimizeApplication() override { ++minimize_calls; }
  void RestoreApplication() override { ++restore_calls; }
  void BringToFront() override { ++bring_to_front_calls; }
  void RequestClose() override { ++close_requests; }
  void PlaylistChanged() override { ++playlist_changes; }
  int SelectedLine() const override { return selected; }
  void SelectLine(int index) override { selected = index; }
  void SetPlaylistLook(const PlaylistLook& look) override {
    playlist_look = look;
  }
  void SetSeekbarRange(int max) override { seekbar_max = max; }
  void SetSeekbarPosition(int position) override {
    seekbar_position = position;
  }
  void SetSeekbarEnabled(bool enabled) override { seekbar_enabled = enabled; }
  void SetSeekbarVisible(bool visible) override { seekbar_visible = visible; }
  void SetSeekbarLook(const BarLook& look) override { seekbar_look = look; }
  void SetSeekbarBarColor(ColorValue bar) override { seekbar_look.bar = bar; }
  void SetLevelBarsVisible(bool visible) override { level_bars = visible; }
  void SetLevels(int l, int r) override {
    level_left = l;
    level_right = r;
  }
  void SetLevelBarLooks(const BarLook& l, const BarLook& r) override {
    left_look = l;
    right_look = r;
  }
  void SetSlimModeCommand(const std::string& text, bool checked) override {
    slim_command_text = text;
    slim_command_checked = checked;
  }

  std::string caption_ = "Kivo Player";
  int width = 231, height = 288, left = 0, top = 0;
  WorkArea work_area{0, 0, 1280, 800};
  bool top_most = false, alpha_blend = false, taskbar_button = true;
  int alpha = 255;
  int minimize_calls = 0, restore_calls = 0, bring_to_front_calls = 0;
  int close_requests = 0;
  int playlist_changes = 0;
  int selected = -1;
  PlaylistLook playlist_look;
  int seekbar_max = 100, seekbar_position = 0;
  bool seekbar_enabled = false, seekbar_visible = true;
  BarLook seekbar_look, left_look, right_look;
  bool level_bars = false;
  int level_left = 0, level_right = 0;
  std::string slim_command_text;
  bool slim_command_checked = false;
};

struct Balloon {
  std::string title;
  std::string text;
  int seconds = 0;
};

// Records what the core does with the tray icon.
class FakeTray : public Tray {
 public:
  bool Available() const override { return available; }
  bool BalloonsSupported() const override { return balloons_supported; }
  void SetIconVisible(bool visible) override { icon_visible = visible; }
  bool IconVisible() const override { return icon_visible; }
  void SetTooltip(const std::string& text) override { tooltip = text; }
  void SetTooltipAllowed(bool allowed) override { tooltip_allowed = allowed; }
  void ShowBalloon(const std::string& title, const std::string& text,
                   int seconds) override {
    balloons.push_back({title, text, seconds});
  }
  void HideMainWindow() override { window_visible = false; }
  void ShowMainWindow() override { window_visible = true; }
  void SetMinimizeToTray(bool on) override { minimize_to_tray = on; }

  bool available = true, balloons_supported = true;
  bool icon_visible = false, tooltip_allowed = true;
  bool window_visible = true, minimize_to_tray = false;
  std::string tooltip = "Kivo Player";
  std::vector<Balloon> balloons;
};

}  // namespace kivo::testing
