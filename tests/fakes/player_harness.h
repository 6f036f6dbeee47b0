#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/app/player.h"
#include "fakes/fake_audio_library.h"
#include "fakes/fake_services.h"
#include "fakes/fake_window.h"
#include "fakes/manual_event_loop.h"
#include "fakes/temp_dir.h"

namespace kivo::testing {

// A player on test doubles in a temporary program folder. settings.ini starts
// with the donation prompt already answered unless the test says otherwise.
struct PlayerHarness {
  explicit PlayerHarness(bool donation_answered = true);
  // Runs what workers and posts are left, so nothing outlives the doubles.
  ~PlayerHarness();

  // Writes settings.ini (replacing it) before the player starts.
  void WriteSettings(const std::string& content);
  bool Start(const std::vector<std::string>& arguments = {});
  // A new player over the same folder and doubles, as after a program restart
  // (Start it again).
  void Restart();
  std::string Setting(const std::string& section, const std::string& key);

  // A real, empty file below the program folder, registered as media.
  std::string AddFile(const std::string& name,
                      FakeAudioLibrary::Media media = {});
  // Media files appended to the playlist as Add Media would (line = name,
  // into the shuffle pool); returns their paths.
  std::vector<std::string> AddEntries(const std::vector<std::string>& names);
  // Loads a KPP of count entries through Load Playlist, as a user would:
  // the list's storage is then exactly full.
  void LoadListOf(int count);

  TempDir dir;
  ShippedFolders shipped;  // none unless a test installs some
  FakeAudioLibrary audio;
  ManualEventLoop loop;
  FakeMainWindow window;
  FakeTray tray;
  ScriptedDialogs dialogs;
  FakeDesktopServices desktop;
  FakeHttpClient http;
  FakeHotkeys hotkeys;
  FakeNowPlaying now_playing;
  FakeAssociations associations;
  FakeSearchWindows search_windows;
  FakeTagWindow tag_window;
  // The dialogs the player gets at the next Restart: a test may hand it the
  // real ones.
  Dialogs* player_dialogs = &dialogs;
  std::unique_ptr<Player> player;
};

}  // namespace kivo::testing

namespace kivo {

// Every line of the playlist, in order.
std::vector<std::string> LinesOf(const PlaylistModel& model);
// The locations in the shuffle pool, in its order.
std::vector<std::string> PoolOf(const PlaylistModel& model);

}  // namespace kivo
