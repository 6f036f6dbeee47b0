#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/platform/playlist_source.h"
#include "core/platform/shell_events.h"

namespace kivo::desktop::testing {

struct KeyCall {
  int virtual_key;
  ShiftState shift;
};

// Records what the window reports; answers as the test sets it up.
class FakeShellEvents final : public ShellEvents {
 public:
  FakeShellEvents() {
    playlist_menu.name = "PlayListMenu";
    tray_menu.name = "TrayMenu";
  }

  const MenuItem& PlaylistMenu() const override { return playlist_menu; }
  const MenuItem& TrayMenu() const override { return tray_menu; }
  void PlaylistMenuPopup() override { log.push_back("PlaylistMenuPopup"); }
  void TrayMenuPopup() override { log.push_back("TrayMenuPopup"); }
  void MenuItemClicked(const std::string& name) override {
    log.push_back("Clicked " + name);
  }
  bool KeyDown(int virtual_key, ShiftState shift) override {
    key_downs.push_back({virtual_key, shift});
    return consume_keys;
  }
  void KeyUp(int virtual_key, ShiftState shift) override {
    key_ups.push_back({virtual_key, shift});
  }
  void PlaylistMouseDown(MouseButton button, int line) override {
    mouse_downs.emplace_back(button, line);
  }
  void PlaylistDoubleClick() override { log.push_back("DoubleClick"); }
  void PlaylistDragOver(int line) override {
    drag_overs.push_back(line);
    if (on_drag_over) on_drag_over(line);
  }
  void FilesDropped(const std::vector<std::string>& paths) override {
    drops.push_back(paths);
  }
  void SeekbarMouseDown(MouseButton button, int x, int width,
                        bool shift) override {
    seekbar_button = button;
    seekbar_x = x;
    seekbar_width = width;
    seekbar_shift = shift;
    log.push_back("SeekbarMouseDown");
  }
  bool CloseRequest() override {
    log.push_back("CloseRequest");
    return allow_close;
  }
  void Shutdown() override { log.push_back("Shutdown"); }
  void EndSession() override { log.push_back("EndSession"); }
  void WindowFirstShown() override { log.push_back("WindowFirstShown"); }
  void ApplicationMinimized() override { log.push_back("Minimized"); }
  void ApplicationRestored() override { log.push_back("Restored"); }
  void SlimModeCommand() override { log.push_back("SlimModeCommand"); }
  void SnapToWorkArea(int* x, int* y, int width, int height) override {
    if (snap) snap(x, y, width, height);
  }
  void TrayClick() override { log.push_back("TrayClick"); }
  void TrayMouseExit() override { log.push_back("TrayMouseExit"); }
  void HandOffReceived(const std::string& text) override {
    log.push_back("HandOff " + text);
  }
  void HotkeyPressed(int id) override {
    log.push_back("Hotkey " + std::to_string(id));
  }
  void MediaControl(MediaCommand /*command*/) override {}
  void SeekToSeconds(double /*seconds*/) override {}
  void SetVolumeLevel(int /*volume_0_10000*/) override {}
  PlayerStatus Status() const override { return {}; }

  MenuItem playlist_menu;
  MenuItem tray_menu;
  bool consume_keys = false;
  bool allow_close = true;
  std::function<void(int*, int*, int, int)> snap;
  std::function<void(int)> on_drag_over;

  std::vector<std::string> log;
  std::vector<KeyCall> key_downs;
  std::vector<KeyCall> key_ups;
  std::vector<std::pair<MouseButton, int>> mouse_downs;
  std::vector<int> drag_overs;
  std::vector<std::vector<std::string>> drops;
  MouseButton seekbar_button = MouseButton::kMiddle;
  int seekbar_x = -1;
  int seekbar_width = -1;
  bool seekbar_shift = false;
};

// Lines with one style for all, except the selected one.
class FakePlaylistSource final : public PlaylistSource {
 public:
  int LineCount() const override { return static_cast<int>(lines.size()); }
  std::string LineText(int index) const override {
    return lines.at(static_cast<size_t>(index));
  }
  LineStyle StyleOf(int /*index*/, bool selected,
                    bool /*focused*/) const override {
    return selected ? selected_style : style;
  }

  std::vector<std::string> lines;
  LineStyle style{0x000000, 0x00FF00, false, false};
  LineStyle selected_style{0x6A240A, 0x00FF00, false, false};
};

}  // namespace kivo::desktop::testing
