#pragma once

#include <string>
#include <vector>

namespace kivo {

// The playlist: locations and their display lines, always the same count and
// order, the playing entry and the locations shuffle has not played yet.
// GUI thread only.
struct PlaylistModel {
  std::vector<std::string> file_list;
  std::vector<std::string> lines;
  int playing_index = -1;
  std::vector<std::string> shuffle_pool;

  int Count() const { return static_cast<int>(file_list.size()); }
  bool Empty() const { return file_list.empty(); }
  bool IsLast(int index) const { return index == Count() - 1; }

  void AppendEntry(const std::string& location, const std::string& line,
                   bool into_shuffle_pool);
  // Both lists; the playing index follows its entry (or becomes -1).
  void RemoveEntryAt(int index);
  // FileList, lines and the shuffle pool emptied.
  void Clear();
  // First entry equal to location without regard to ASCII case, or -1.
  int FindLocation(const std::string& location) const;
};

// Every line rebuilt from its location: the name for an existing file, "[S] "
// + address for a stream address, else "[" + error_word + "] " + location.
void RefreshEntryNames(PlaylistModel& model, const std::string& error_word);

}  // namespace kivo
