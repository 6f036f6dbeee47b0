#include "core/app/player.h"

#include <exception>
#include <utility>

#include "core/app/expand_argument.h"
#include "core/playlist/autosave.h"
#include "core/ui/menu_popups.h"
#include "core/ui/shell_wiring.h"
#include "core/ui/window_modes.h"
#include "core/ui/window_snap.h"
#include "core/util/text.h"

namespace kivo {

Player::Player(const Platform& platform, const std::string& program_dir,
               const ShippedFolders& shipped)
    : context_(platform, program_dir, shipped),
      playlist_files_(context_, state_.playlist),
      queue_(state_.playlist, state_.queue_list),
      playback_(context_, state_),
      lastfm_(context_, state_),
      hotkeys_(context_),
      file_associations_(context_),
      playlist_commands_(context_, state_, queue_) {
  WireMenus();
  WirePlayback();
  WirePlaylist();
  WireIntegrations();
}

Player::~Player() = default;

namespace {

// Brackets one user command for the gate, however the command ends.
class CommandScope {
 public:
  explicit CommandScope(WorkGate& gate) : gate_(gate) {
    gate_.CommandStarted();
  }
  ~CommandScope() { gate_.CommandEnded(); }
  CommandScope(const CommandScope&) = delete;
  CommandScope& operator=(const CommandScope&) = delete;

 private:
  WorkGate& gate_;
};

}  // namespace

void Player::Guarded(const std::function<void()>& command) {
  CommandScope scope(context_.work_gate);
  try {
    command();
  } catch (const SettingsWriteError& error) {
    context_.ShowMessage(error.what());
  } catch (const std::exception& error) {
    context_.ShowMessage(error.what());
  }
  // Whatever the command changed (a device switch, a new playlist), the
  // desktop's media controls learn it.
  context_.platform.now_playing.StatusChanged();
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
  WireShellMenus(context_, state_);
}

const MenuItem& Player::PlaylistMenu() const {
  return context_.menus.playlist_menu();
}

const MenuItem& Player::TrayMenu() const { return context_.menus.tray_menu(); }

void Player::PlaylistMenuPopup() {
  kivo::PlayListMenuPopup(context_, state_, PopupFactsNow());
}

void Player::TrayMenuPopup() {
  kivo::TrayMenuPopup(context_, state_, PopupFactsNow());
}

PopupFacts Player::PopupFactsNow() const {
  PopupFacts facts;
  facts.channel_state =
      context_.platform.audio.ChannelIsActive(state_.playback.current_channel);
  facts.selected_line = context_.platform.window.SelectedLine();
  facts.recording_active =
      state_.hooks.recording_active && state_.hooks.recording_active();
  // Every volume change stores the level, so the setting is VolumeLevel.
  facts.volume_0_10000 = static_cast<int>(
      context_.settings.ReadSettingInt("settings", "volume", 5000));
  return facts;
}

void Player::GuardedWhenFree(std::function<void()> command) {
  context_.work_gate.RunOrKeep(
      [this, command = std::move(command)] { Guarded(command); });
}

void Player::MenuItemClicked(const std::string& name) {
  GuardedWhenFree([this, name] { context_.menus.Click(name); });
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

void Player::WindowFirstShown() { kivo::WindowFirstShown(context_); }

void Player::ApplicationMinimized() { state_.window_hidden = true; }

void Player::ApplicationRestored() {
  kivo::ApplicationRestored(context_, state_);
}

void Player::SlimModeCommand() {
  Guarded([&] { kivo::SlimModeCommand(context_, state_); });
}

void Player::SnapToWorkArea(int* x, int* y, int width, int height) {
  kivo::SnapToWorkArea(context_.platform.window.PrimaryWorkArea(), x, y, width,
                       height);
}

void Player::TrayClick() { kivo::TrayToggle(context_, state_); }

void Player::TrayMouseExit() { context_.platform.tray.SetTooltipAllowed(true); }

void Player::HandOffReceived(const std::string& text) {
  context_.platform.window.BringToFront();
  if (text.size() <= 3) return;
  GuardedWhenFree([this, text] { AddHandedFiles(text, kHandOffSeparator); });
}

void Player::WhenHandOffStored(std::function<void()> release) {
  context_.autosave.WhenWritten(std::move(release));
}

int Player::LineCount() const { return state_.playlist.Count(); }

std::string Player::LineText(int index) const {
  if (index < 0 || index >= state_.playlist.Count()) return std::string();
  return state_.playlist.Line(index);
}

LineStyle Player::StyleOf(int index, bool selected, bool focused) const {
  LineFacts facts{index, selected, focused, state_.playlist.playing_index,
                  false};
  if (index >= 0 && index < state_.playlist.Count()) {
    const std::string_view location = state_.playlist.file_list[index];
    for (const std::string& queued : state_.queue_list) {
      if (EqualsIgnoreCase(queued, location)) facts.queued = true;
    }
  }
  return StyleOfLine(facts, state_.theme_colors);
}

}  // namespace kivo
