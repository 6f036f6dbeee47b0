#include "core/playlist/playlist_file_commands.h"

namespace kivo {
namespace {

constexpr char kSaveFilter[] =
    "Kivo Playlist (*.KPP)|*.kpp|M3U Playlist (*.M3U)|*.m3u|"
    "PLS Playlist (*.PLS)|*.pls";

}  // namespace

void PlaylistFileCommands::LoadPlaylistClick() {
  std::vector<std::string> chosen = context_.platform.dialogs.OpenFiles(
      context_.Text("playlist", "02", "Load Playlist"),
      context_.Text("strings", "05", "All Supported Types") +
          "|*.kpp;*.m3u;*.pls",
      true);
  if (chosen.empty()) return;
  const std::string& path = chosen.front();
  // Only the exact lower-case extensions choose a loader; ".M3U" loads
  // nothing, and an unreadable KPP or M3U is not recorded.
  if (!files_.LoadByExtension(path, false)) return;
  History(context_, state_).AddToHistory(path);
}

void PlaylistFileCommands::SavePlaylistClick() {
  // The type chosen in the dialog decides the format, whatever the typed
  // extension says.
  int type = 1;
  std::optional<std::string> path = context_.platform.dialogs.SaveFile(
      context_.Text("playlist", "03", "Save Playlist"), kSaveFilter, "kpp",
      &type);
  if (!path) return;
  bool saved = false;
  switch (type) {
    case 1:
      saved = files_.SaveKpp(*path);
      break;
    case 2:
      saved = files_.SaveM3u(*path);
      break;
    case 3:
      saved = files_.SavePls(*path);
      break;
    default:
      return;
  }
  if (saved) History(context_, state_).AddToHistory(*path);
}

}  // namespace kivo
