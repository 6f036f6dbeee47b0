#pragma once

#include <string>
#include <vector>

#include "core/app/context.h"
#include "core/playlist/playlist_model.h"

namespace kivo {

// The ways entries are appended to the end of the playlist: the Add Media
// dialog, a folder tree, an address (or a PLS fetched from one), files and
// folders dropped on the window, and the music folder. None of them starts
// playback; each ends with the autosave.
class MediaAdder {
 public:
  MediaAdder(Context& context, PlaylistModel& model)
      : context_(context), model_(model) {}

  void AddMediaClick();
  void AddDirectoryClick();
  void AddUrlClick();
  void DroppedFiles(const std::vector<std::string>& paths);
  void OpenFolder1Click();
  void Refresh1Click();

  // A dropped folder is scanned; a dropped supported file is appended;
  // anything else (a playlist file included) is ignored.
  void AddDroppedPath(const std::string& path);

 private:
  // A folder tree scanned while the window keeps painting.
  bool ScanWithProgress(const std::string& folder, bool skip_known);
  void AddStreamAddress(const std::string& address);
  void AddFetchedPls(const std::string& address);
  void Autosave();

  Context& context_;
  PlaylistModel& model_;
};

}  // namespace kivo
