#pragma once

#include <string>
#include <vector>

#include "core/platform/menu_item.h"

namespace kivo {

// Shift state of a key or mouse event, as the Windows key handlers saw it.
struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool Empty() const { return !shift && !ctrl && !alt; }
  bool OnlyShift() const { return shift && !ctrl && !alt; }
};

enum class MouseButton { kLeft, kRight, kMiddle };

// Commands of media keys and the desktop's media controls.
enum class MediaCommand {
  kPlayPause,
  kPlay,
  kPause,
  kStop,
  kNext,
  kPrevious,
  kRaise,
  kQuit
};

// What the desktop's media controls show.
struct PlayerStatus {
  int channel_state = 0;  // 0 stopped, 1 playing, 2 stalled, 3 paused
  std::string title;      // last announced title
  int volume_0_10000 = 0;
  double position_seconds = 0;
  double length_seconds = -1;  // -1: unknown (streams)
  bool can_seek = false;
  bool can_go_next = false;
  bool can_go_previous = false;
  bool can_play = false;  // Play would start or resume something
};

// Windows virtual-key codes the core handles by name.
namespace vk {
constexpr int kBack = 0x08;
constexpr int kReturn = 0x0D;
constexpr int kShift = 0x10;
constexpr int kControl = 0x11;
constexpr int kEscape = 0x1B;
constexpr int kSpace = 0x20;
constexpr int kEnd = 0x23;
constexpr int kHome = 0x24;
constexpr int kLeft = 0x25;
constexpr int kUp = 0x26;
constexpr int kRight = 0x27;
constexpr int kDown = 0x28;
constexpr int kInsert = 0x2D;
constexpr int kDelete = 0x2E;
constexpr int kF1 = 0x70;
constexpr int kF8 = 0x77;
constexpr int kF12 = 0x7B;
constexpr int kAdd = 0x6B;
constexpr int kSubtract = 0x6D;
}  // namespace vk

// What the desktop reports to the core: every user event of the main window,
// its menus and the tray, and the hand-offs and hotkeys that arrive. The core
// implements it. GUI thread only.
class ShellEvents {
 public:
  virtual ~ShellEvents() = default;

  // The two popup menus; render the tree after the popup handler ran.
  virtual const MenuItem& PlaylistMenu() const = 0;
  virtual const MenuItem& TrayMenu() const = 0;
  virtual void PlaylistMenuPopup() = 0;
  virtual void TrayMenuPopup() = 0;
  virtual void MenuItemClicked(const std::string& name) = 0;

  // Key events of the main window. A key that is an enabled menu shortcut is
  // taken by the menu. Returns true when the key was handled that way.
  virtual bool KeyDown(int virtual_key, ShiftState shift) = 0;
  virtual void KeyUp(int virtual_key, ShiftState shift) = 0;

  // line: the playlist line under the pointer, -1 when none.
  virtual void PlaylistMouseDown(MouseButton button, int line) = 0;
  virtual void PlaylistDoubleClick() = 0;
  virtual void PlaylistDragOver(int line) = 0;
  virtual void FilesDropped(const std::vector<std::string>& paths) = 0;
  virtual void SeekbarMouseDown(MouseButton button, int x, int width,
                                bool shift) = 0;

  // The window asks to close; true lets it close, then Shutdown runs.
  virtual bool CloseRequest() = 0;
  virtual void Shutdown() = 0;
  // The session is ending: the next close request passes.
  virtual void EndSession() = 0;
  virtual void WindowFirstShown() = 0;
  virtual void ApplicationMinimized() = 0;
  virtual void ApplicationRestored() = 0;
  virtual void SlimModeCommand() = 0;
  // The window moves or resizes to (x, y, width, height); returns the
  // snapped left and top through x and y.
  virtual void SnapToWorkArea(int* x, int* y, int width, int height) = 0;

  virtual void TrayClick() = 0;
  virtual void TrayMouseExit() = 0;

  virtual void HandOffReceived(const std::string& text) = 0;
  virtual void HotkeyPressed(int id) = 0;

  virtual void MediaControl(MediaCommand command) = 0;
  virtual void SeekToSeconds(double seconds) = 0;
  virtual void SetVolumeLevel(int volume_0_10000) = 0;
  virtual PlayerStatus Status() const = 0;
};

}  // namespace kivo
