#include "fakes/player_harness.h"

#include "core/playlist/entry_names.h"
#include "core/util/atomic_file.h"

namespace kivo::testing {

PlayerHarness::PlayerHarness(bool donation_answered) {
  if (donation_answered) WriteSettings("[settings]\r\nDonationMsg=0\r\n");
  Restart();
}

void PlayerHarness::Restart() {
  // As the program waits for its workers before it ends.
  loop.Drain();
  player.reset();
  Platform platform{audio,           loop,         window,         tray,
                    *player_dialogs, desktop,      http,           hotkeys,
                    now_playing,     associations, search_windows, tag_window};
  player = std::make_unique<Player>(platform, dir.path(), shipped);
}

PlayerHarness::~PlayerHarness() {
  loop.Drain();
  player.reset();
}

void PlayerHarness::WriteSettings(const std::string& content) {
  dir.Write("settings.ini", content);
}

bool PlayerHarness::Start(const std::vector<std::string>& arguments) {
  bool started = player->Startup(arguments, dir.path());
  loop.Drain();
  return started;
}

std::string PlayerHarness::Setting(const std::string& section,
                                   const std::string& key) {
  return player->context().settings.ReadSettingText(section, key, "<absent>");
}

std::string PlayerHarness::AddFile(const std::string& name,
                                   FakeAudioLibrary::Media media) {
  std::string path = dir.Write(name, "");
  audio.AddMedia(path, std::move(media));
  return path;
}

void PlayerHarness::LoadListOf(int count) {
  std::string kpp;
  for (int i = 0; i < count; ++i) {
    kpp += dir.File("t" + std::to_string(i) + ".mp3") + "\r\n";
  }
  dir.Write("list-of-" + std::to_string(count) + ".kpp", kpp);
  dialogs.open_answers.push_back(
      {dir.File("list-of-" + std::to_string(count) + ".kpp")});
  player->MenuItemClicked("LoadPlaylist");
}

std::vector<std::string> PlayerHarness::AddEntries(
    const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& name : names) {
    paths.push_back(AddFile(name));
    player->state().playlist.AppendEntry(paths.back(), BaseTitle(paths.back()),
                                         true);
  }
  return paths;
}

}  // namespace kivo::testing

namespace kivo {

std::vector<std::string> LinesOf(const PlaylistModel& model) {
  std::vector<std::string> lines;
  lines.reserve(model.file_list.size());
  for (int i = 0; i < model.Count(); ++i) lines.push_back(model.Line(i));
  return lines;
}

std::vector<std::string> PoolOf(const PlaylistModel& model) {
  std::vector<std::string> pool;
  for (int k = 0; k < model.PoolSize(); ++k) {
    pool.emplace_back(model.PoolLocation(k));
  }
  return pool;
}

}  // namespace kivo
