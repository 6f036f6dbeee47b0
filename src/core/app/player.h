#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/integrations/file_associations.h"
#include "core/integrations/global_hotkeys.h"
#include "core/integrations/lastfm.h"
#include "core/platform/playlist_source.h"
#include "core/platform/shell_events.h"
#include "core/playback/playback_controller.h"
#include "core/playlist/playlist_commands.h"
#include "core/playlist/playlist_files.h"
#include "core/playlist/queue.h"
#include "core/ui/menu_popups.h"

namespace kivo {

// The main window's owner: holds the state, wires menu items, keys and window
// events to the subsystems that handle them, and runs the start and close
// sequences. The handlers themselves live with their subsystems.
class Player : public ShellEvents, public PlaylistSource {
 public:
  Player(const Platform& platform, const std::string& program_dir,
         const ShippedFolders& shipped = {});
  ~Player() override;

  // Runs once when the main window is created. False when the program must
  // end at once (no audio library or device); the user was told why.
  bool Startup(const std::vector<std::string>& arguments,
               const std::string& cwd);
  // Adds and plays the media files and stream addresses of a hand-off text,
  // autosaving after each.
  void AddHandedFiles(const std::string& text, char separator);

  Context& context() { return context_; }
  PlayerState& state() { return state_; }
  PlaybackController& playback() { return playback_; }
  LastFm& lastfm() { return lastfm_; }
  GlobalHotkeys& hotkeys() { return hotkeys_; }
  Queue& queue() { return queue_; }
  PlaylistCommands& playlist_commands() { return playlist_commands_; }
  // The Search window, modal; false (and nothing shown) when one is open.
  bool OpenSearchWindow();

  // ShellEvents.
  const MenuItem& PlaylistMenu() const override;
  const MenuItem& TrayMenu() const override;
  void PlaylistMenuPopup() override;
  void TrayMenuPopup() override;
  void MenuItemClicked(const std::string& name) override;
  bool KeyDown(int virtual_key, ShiftState shift) override;
  void KeyUp(int virtual_key, ShiftState shift) override;
  void PlaylistMouseDown(MouseButton button, int line) override;
  void PlaylistDoubleClick() override;
  void PlaylistDragOver(int line) override;
  void FilesDropped(const std::vector<std::string>& paths) override;
  void SeekbarMouseDown(MouseButton button, int x, int width,
                        bool shift) override;
  bool CloseRequest() override;
  void Shutdown() override;
  void EndSession() override;
  void WindowFirstShown() override;
  void ApplicationMinimized() override;
  void ApplicationRestored() override;
  void SlimModeCommand() override;
  void SnapToWorkArea(int* x, int* y, int width, int height) override;
  void TrayClick() override;
  void TrayMouseExit() override;
  void HandOffReceived(const std::string& text) override;
  // Runs release once what the hand-offs so far changed is on disk, so a
  // second start that returns has its files kept even if the player dies.
  void WhenHandOffStored(std::function<void()> release);
  void HotkeyPressed(int id) override;
  void MediaControl(MediaCommand command) override;
  void SeekToSeconds(double seconds) override;
  void SetVolumeLevel(int volume_0_10000) override;
  PlayerStatus Status() const override;

  // PlaylistSource.
  int LineCount() const override;
  std::string LineText(int index) const override;
  LineStyle StyleOf(int index, bool selected, bool focused) const override;

 private:
  // Runs one user command; a failed settings write abandons it with the
  // message the user must see. Nothing thrown gets past this point.
  void Guarded(const std::function<void()>& command);
  // Guarded, now or after the long operation that holds the gate (the event
  // loop runs while it shows progress): for events that change the playlist.
  void GuardedWhenFree(std::function<void()> command);
  void WireMenus();
  void WireIntegrations();
  // Timers and menu items of playback, devices, plug-ins and network options.
  void WirePlayback();
  PopupFacts PopupFactsNow() const;
  // Hooks and menu handlers of the playlist commands (playlist_wiring.cpp).
  void WirePlaylist();
  bool CheckAudioLibrary();
  void HandleCommandLine(const std::vector<std::string>& arguments,
                         const std::string& cwd);
  // Loads or plays the one argument of a start; false when it is none of
  // playlist, media file, folder with media or stream address.
  bool OpenArgument(const std::string& expanded);
  void AskForDonation();
  void WriteWindowPlacement();
  void ReleaseAudio(AudioLibrary::Handle channel);

  Context context_;
  PlayerState state_;
  PlaylistFiles playlist_files_;
  Queue queue_;
  PlaybackController playback_;
  LastFm lastfm_;
  GlobalHotkeys hotkeys_;
  FileAssociations file_associations_;
  PlaylistCommands playlist_commands_;
};

}  // namespace kivo
