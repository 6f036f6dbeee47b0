#include "core/playlist/playlist_model.h"

#include "core/playlist/entry_names.h"
#include "core/util/atomic_file.h"
#include "core/util/text.h"

namespace kivo {

void PlaylistModel::AppendEntry(const std::string& location,
                                const std::string& line,
                                bool into_shuffle_pool) {
  file_list.push_back(location);
  lines.push_back(line);
  if (into_shuffle_pool) shuffle_pool.push_back(location);
}

void PlaylistModel::RemoveEntryAt(int index) {
  if (index < 0 || index >= Count()) return;
  file_list.erase(file_list.begin() + index);
  lines.erase(lines.begin() + index);
  if (index == playing_index) {
    playing_index = -1;
  } else if (index < playing_index) {
    --playing_index;
  }
}

void PlaylistModel::Clear() {
  file_list.clear();
  lines.clear();
  shuffle_pool.clear();
}

int PlaylistModel::FindLocation(const std::string& location) const {
  for (int i = 0; i < Count(); ++i) {
    if (EqualsIgnoreCase(file_list[i], location)) return i;
  }
  return -1;
}

void RefreshEntryNames(PlaylistModel& model, const std::string& error_word) {
  model.lines.resize(model.file_list.size());
  const std::string error_prefix = "[" + error_word + "] ";
  for (size_t i = 0; i < model.file_list.size(); ++i) {
    const std::string& location = model.file_list[i];
    if (FileExists(location)) {
      model.lines[i] = BaseTitle(location);
    } else if (IsStreamAddress(location)) {
      model.lines[i] = "[S] " + location;
    } else {
      model.lines[i] = error_prefix + location;
    }
  }
}

}  // namespace kivo
