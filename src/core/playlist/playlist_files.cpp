#include "core/playlist/playlist_files.h"

#include "core/playlist/entry_names.h"
#include "core/playlist/kpp_format.h"
#include "core/util/atomic_file.h"

namespace kivo {

bool PlaylistFiles::LoadKpp(const std::string& path) {
  std::string content;
  std::string reason;
  if (!ReadWholeFile(path, &content, &reason)) {
    context_.ShowMessage("Cannot open file \"" + path + "\". " + reason);
    return false;
  }
  ReplaceWith(ParseKpp(content), path);
  return true;
}

bool PlaylistFiles::SaveKpp(const std::string& path) {
  if (!WriteFileAtomically(path, FormatKpp(model_.file_list))) return false;
  context_.settings.WriteText("settings", "LastPlayed", path);
  return true;
}

bool PlaylistFiles::LoadByExtension(const std::string& path, bool accept_tmp) {
  std::string ext = ExtensionOf(path);
  if (ext == ".kpp" || (accept_tmp && ext == ".tmp")) return LoadKpp(path);
  return false;
}

void PlaylistFiles::ReplaceWith(const std::vector<std::string>& locations,
                                const std::string& path) {
  model_.Clear();
  for (const std::string& location : locations) {
    model_.AppendEntry(location, std::string(), true);
  }
  context_.settings.WriteText("settings", "LastPlayed", path);
  model_.playing_index = -1;
  RefreshLines();
}

void PlaylistFiles::RefreshLines() {
  RefreshEntryNames(model_, context_.Text("strings", "03", "Error"));
  context_.platform.window.PlaylistChanged();
}

}  // namespace kivo
