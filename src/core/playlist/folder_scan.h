#pragma once

#include <set>
#include <string>
#include <unordered_set>
#include <utility>

#include "core/playlist/playlist_model.h"
#include "core/util/progress.h"

namespace kivo {

// Appends every supported file of a folder tree to the playlist (location,
// shuffle pool, line = its name), depth first, each folder's entries in name
// order ignoring letter case; a subfolder's files come at the moment the scan
// reaches it. Names beginning with "." are hidden and skipped; unreadable
// folders are skipped silently; a folder reached twice (a symlink loop) is
// scanned once. Folder and name are joined with "/" as they are; nothing is
// normalised.
class FolderScan {
 public:
  // skip_known: a file whose path equals (exactly, case-sensitive) a location
  // already in the playlist, or one added earlier in the scan, is left out.
  // progress, when given, hears of every entry seen.
  FolderScan(PlaylistModel& model, bool skip_known,
             Progress* progress = nullptr);

  // False when the folder cannot be enumerated (missing, unreadable, a file).
  bool Scan(const std::string& folder);

 private:
  void Take(const std::string& path, const std::string& name);

  PlaylistModel& model_;
  bool skip_known_;
  Progress* progress_;
  std::unordered_set<std::string> known_;
  std::set<std::pair<unsigned long long, unsigned long long>> visited_;
};

}  // namespace kivo
