#pragma once

#include <string>
#include <vector>

#include "core/platform/shell_events.h"

namespace kivo::testing {

// ShellEvents that records what the desktop integrations report and answers
// Status() with whatever the test put in `status`.
class RecordingShellEvents : public ShellEvents {
 public:
  const MenuItem& PlaylistMenu() const override { return menu_; }
  const MenuItem& TrayMenu() const override { return menu_; }
  void PlaylistMenuPopup() override {}
  void TrayMenuPopup() override {}
  void MenuItemClicked(const std::string&) override {}
  bool KeyDown(int, ShiftState) override { return false; }
  void KeyUp(int, ShiftState) override {}
  void PlaylistMouseDown(MouseButton, int) override {}
  void PlaylistDoubleClick() override {}
  void PlaylistDragOver(int) override {}
  void FilesDropped(const std::vector<std::string>&) override {}
  void SeekbarMouseDown(MouseButton, int, int, bool) override {}
  bool CloseRequest() override { return true; }
  void Shutdown() override {}
  void EndSession() override {}
  void WindowFirstShown() override {}
  void ApplicationMinimized() override {}
  void ApplicationRestored() override {}
  void SlimModeCommand() override {}
  void SnapToWorkArea(int*, int*, int, int) override {}
  void TrayClick() override {}
  void TrayMouseExit() override {}
  void HandOffReceived(const std::string&) override {}

  void HotkeyPressed(int id) override { hotkeys.push_back(id); }
  void MediaControl(MediaCommand command) override {
    commands.push_back(command);
  }
  void SeekToSeconds(double seconds) override { seeks.push_back(seconds); }
  void SetVolumeLevel(int volume_0_10000) override {
    volumes.push_back(volume_0_10000);
  }
  PlayerStatus Status() const override { return status; }

  PlayerStatus status;
  std::vector<int> hotkeys;
  std::vector<MediaCommand> commands;
  std::vector<double> seeks;
  std::vector<int> volumes;

 private:
  MenuItem menu_;
};

}  // namespace kivo::testing
