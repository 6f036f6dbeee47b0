#pragma once

#include <string>
#include <vector>

#include "core/app/context.h"
#include "core/playlist/playlist_model.h"

namespace kivo {

// Loading and saving whole playlists in the KPP, M3U and PLS formats. A load
// replaces the playlist, names the file in `LastPlayed` and leaves nothing
// playing-selected; the sound that plays goes on. Every file is written
// atomically, so a crash never leaves half a playlist.
class PlaylistFiles {
 public:
  PlaylistFiles(Context& context, PlaylistModel& model)
      : context_(context), model_(model) {}

  // False when the file cannot be opened (the user was told why).
  bool LoadKpp(const std::string& path);
  bool LoadM3u(const std::string& path);
  // A missing or unreadable PLS loads as an empty playlist.
  bool LoadPls(const std::string& path);
  // False when the file could not be written (the user was told why).
  bool SaveKpp(const std::string& path);
  bool SaveM3u(const std::string& path);
  bool SavePls(const std::string& path);
  // The loader chosen by the exact extension (".kpp", ".m3u", ".pls"; ".tmp"
  // when accept_tmp). False when no loader takes it or the load failed.
  bool LoadByExtension(const std::string& path, bool accept_tmp);

  // Replaces the playlist with these locations (each into the shuffle pool).
  void ReplaceWith(LocationList locations, const std::string& path);
  // Every line rebuilt from its location; the files are checked off the GUI
  // thread and their lines fixed as the answers come.
  void RefreshLines();

 private:
  // The file's content; when it cannot be read, the user is told why.
  bool ReadOrReport(const std::string& path, std::string* content);
  void ReportUnreadable(const std::string& path, const std::string& reason);
  // Writes content over path; reports "Cannot create file" on failure.
  bool WriteOrReport(const std::string& path, const std::string& content);
  std::vector<long long> MeasureLengths() const;

  Context& context_;
  PlaylistModel& model_;
};

}  // namespace kivo
