#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/playlist/location_list.h"

namespace kivo {

// How an entry's line is made from its location. Lines are made when asked,
// so a long playlist holds one byte per entry beside its locations; only
// lines of another text (queue marks, stream titles, PLS titles) are stored.
enum class LineForm : uint8_t {
  // The file check (see entry_checks.h) has not learnt yet whether the file
  // exists: shown as an existing file's name, or "[S] " + address for a
  // stream address.
  kUnchecked,
  kName,     // BaseTitle(location)
  kStream,   // "[S] " + location
  kMissing,  // "[" + error word + "] " + location
  kText,     // a text of its own
};

// The playlist: locations and their display lines, always the same count and
// order, the playing entry and the locations shuffle has not played yet.
// GUI thread only.
struct PlaylistModel {
  LocationList file_list;
  int playing_index = -1;

  int Count() const { return static_cast<int>(file_list.size()); }
  bool Empty() const { return file_list.empty(); }
  bool IsLast(int index) const { return index == Count() - 1; }

  // The line shown for the entry at index.
  std::string Line(int index) const;
  void SetLine(int index, std::string line);
  LineForm FormOf(int index) const { return forms_[index]; }

  void AppendEntry(std::string_view location, const std::string& line,
                   bool into_shuffle_pool);
  // The list replaced by these locations, each into the shuffle pool, their
  // lines to be found by the file check.
  void ReplaceLocations(LocationList locations);
  // Both lists; the playing index follows its entry (or becomes -1).
  void RemoveEntryAt(int index);
  // The entry moves to `to`, the ones between close up; the playing index
  // follows.
  void MoveEntry(int from, int to);
  // FileList, lines and the shuffle pool emptied.
  void Clear();
  // First entry equal to location without regard to ASCII case, or -1.
  int FindLocation(std::string_view location) const;

  // Every line back to kUnchecked, remembering the error word of kMissing.
  void MarkAllUnchecked(const std::string& error_word);
  // The first kUnchecked entry at or after from, or -1.
  int FirstUnchecked(int from) const;
  // Entries first.. take kName or kMissing as exists[k] says, those still
  // unchecked only (a line set meanwhile stays).
  void SetChecked(int first, const std::vector<bool>& exists);
  // Changes whenever an index may name another entry than before.
  uint64_t layout_generation() const { return layout_generation_; }
  // The shuffle pool: the locations shuffle has not played yet, in the order
  // they came. It names entries rather than copying their locations; an
  // entry that leaves the list while pooled leaves its location behind.
  int PoolSize() const { return static_cast<int>(pool_.size()); }
  std::string_view PoolLocation(int k) const;
  void PoolErase(int k);
  // The whole list, in its present order.
  void RefillPool();
  void ClearPool();
  // The first pooled location equal to location (case-sensitive), if any.
  void PoolRemoveFirst(std::string_view location);

  // Lives as long as the model: a late answer from a worker checks it first.
  std::weak_ptr<int> lifetime() const { return lifetime_; }
  // A check of the files is on its way (see CheckEntryFiles).
  bool check_running = false;

 private:
  // Each entry's serial, for the pool; serial_index_ finds the entry of a
  // serial (-1 once it has left the list).
  uint32_t NewSerial();
  void ReindexSerials(int from, int to);
  std::vector<uint32_t> serials_;
  std::vector<int> serial_index_;
  std::vector<bool> serial_pooled_;
  std::vector<uint32_t> pool_;
  std::unordered_map<uint32_t, std::string> left_locations_;

  std::vector<LineForm> forms_;
  std::map<int, std::string> texts_;  // the kText lines by index
  std::string error_word_ = "Error";
  uint64_t layout_generation_ = 0;
  std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
};

}  // namespace kivo
