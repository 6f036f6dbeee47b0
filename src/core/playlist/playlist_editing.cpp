#include "core/playlist/playlist_editing.h"

#include <algorithm>
#include <filesystem>

#include "core/playlist/autosave.h"
#include "core/util/atomic_file.h"

namespace kivo {

void PlaylistEditor::Autosave() {
  context_.platform.window.PlaylistChanged();
  AutosavePlaylist(context_, state_.playlist);
}

void PlaylistEditor::RemoveClick() {
  PlaylistModel& model = state_.playlist;
  int selected = context_.platform.window.SelectedLine();
  if (selected < 0 || selected >= model.Count()) return;
  const std::string location(model.file_list[selected]);
  model.RemoveEntryAt(selected);
  // The queue keeps the location: it is a choice of what to play, not a line.
  model.PoolRemoveFirst(location);
  Autosave();
}

void PlaylistEditor::ClearClick() {
  state_.playlist.Clear();
  state_.queue_list.clear();
  state_.playlist.playing_index = -1;
  context_.platform.window.SelectLine(-1);
  Autosave();
}

void PlaylistEditor::PlayListMouseDown(MouseButton button, int line) {
  // The popup menu that follows acts on the line clicked.
  if (button == MouseButton::kRight) context_.platform.window.SelectLine(line);
}

void PlaylistEditor::PlayListDblClick() {
  state_.playlist.playing_index = context_.platform.window.SelectedLine();
  hooks_.play_entry();
}

void PlaylistEditor::PlayListDragOver(int line) {
  PlaylistModel& model = state_.playlist;
  int from = context_.platform.window.SelectedLine();
  if (line >= 0 && line < model.Count() && from >= 0 && from < model.Count() &&
      line != from) {
    model.MoveEntry(from, line);
    context_.platform.window.SelectLine(line);
  }
  Autosave();
}

bool DeleteToRecycleBin(DesktopServices& desktop, const std::string& path) {
  if (!FileExists(path)) return false;
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(path, error);
  if (error) return false;
  return desktop.MoveToTrash(full.lexically_normal().string());
}

}  // namespace kivo
