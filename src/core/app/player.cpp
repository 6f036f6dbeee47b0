#include "core/app/player.h"

#include <exception>

#include "core/playlist/autosave.h"
#include "core/ui/window_snap.h"
#include "core/util/text.h"

namespace kivo {

Player::Player(const Platform& platform, const std::string& program_dir)
    : context_(platform, program_dir),
      playlist_files_(context_, state_.playlist),
      queue_(state_.playlist, state_.queue_list),
      playback_(context_, state_.playlist, state_.playback),
      playlist_commands_(context_, state_, queue_) {
  WireMenus();
  WirePlaylist();
}

Player::~Player() = default;

void Player::Guarded(const std::function<void()>& command) {
  try {
    command();
  } catch (const SettingsWriteError& error) {
    context_.ShowMessage(error.what());
  } catch (const std::exception& error) {
    context_.ShowMessage(error.what());
  }
}

void Player::WireMenus() {
  MenuModel& menus = context_.menus;
  SettingsStore& settings = context_.settings;
  auto store_check = [&menus, &settings](const char* item, const char* key) {
    menus.OnClick(item, [&menus, &settings, item, key] {
      settings.WriteBool("settings", key, menus.Checked(item));
    });
  };
  store_check("RememberPlaylist1", "RememberPlaylist");
  store_check("CloseToTray1", "CloseToTray");
  store_check("ShowBalloonHints1", "ShowBalloonHints");
}

const MenuItem& Player::PlaylistMenu() const {
  return context_.menus.playlist_menu();
}

const MenuItem& Player::TrayMenu() const { return context_.menus.tray_menu(); }

void Player::PlaylistMenuPopup() {}

void Player::TrayMenuPopup() {}

void Player::MenuItemClicked(const std::string& name) {
  Guarded([&] { context_.menus.Click(name); });
}

bool Player::KeyDown(int virtual_key, ShiftState shift) {
  int shortcut = virtual_key | (shift.shift ? kShortcutShift : 0) |
                 (shift.ctrl ? kShortcutCtrl : 0) |
                 (shift.alt ? kShortcutAlt : 0);
  PlaylistMenuPopup();
  MenuItem* item = context_.menus.FindByShortcut(shortcut);
  if (!item) {
    Guarded(
        [&] { playlist_commands_.keys().PlayListKeyDown(virtual_key, shift); });
    return false;
  }
  MenuItemClicked(item->name);
  return true;
}

void Player::SeekbarMouseDown(MouseButton, int, int, bool) {}

void Player::WindowFirstShown() {}

void Player::ApplicationMinimized() { state_.window_hidden = true; }

void Player::ApplicationRestored() { state_.window_hidden = false; }

void Player::SlimModeCommand() {}

void Player::SnapToWorkArea(int* x, int* y, int width, int height) {
  kivo::SnapToWorkArea(context_.platform.window.PrimaryWorkArea(), x, y, width,
                       height);
}

void Player::TrayClick() {}

void Player::TrayMouseExit() { context_.platform.tray.SetTooltipAllowed(true); }

void Player::HandOffReceived(const std::string& text) {
  context_.platform.window.BringToFront();
  if (text.size() > 3) Guarded([&] { AddHandedFiles(text, '|'); });
}

void Player::HotkeyPressed(int) {}

void Player::MediaControl(MediaCommand) {}

void Player::SeekToSeconds(double) {}

void Player::SetVolumeLevel(int) {}

PlayerStatus Player::Status() const {
  PlayerStatus status;
  status.channel_state = playback_.ChannelState();
  return status;
}

int Player::LineCount() const { return state_.playlist.Count(); }

std::string Player::LineText(int index) const {
  if (index < 0 || index >= state_.playlist.Count()) return std::string();
  return state_.playlist.lines[index];
}

LineStyle Player::StyleOf(int index, bool selected, bool focused) const {
  LineFacts facts{index, selected, focused, state_.playlist.playing_index,
                  false};
  if (index >= 0 && index < state_.playlist.Count()) {
    const std::string& location = state_.playlist.file_list[index];
    for (const std::string& queued : state_.queue_list) {
      if (EqualsIgnoreCase(queued, location)) facts.queued = true;
    }
  }
  return StyleOfLine(facts, state_.theme_colors);
}

}  // namespace kivo
