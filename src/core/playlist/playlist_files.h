#pragma once

#include <string>

#include "core/app/context.h"
#include "core/playlist/playlist_model.h"

namespace kivo {

// Loading and saving whole playlists. A load replaces the playlist, names the
// file in `LastPlayed` and leaves nothing playing-selected; the sound that
// plays goes on.
class PlaylistFiles {
 public:
  PlaylistFiles(Context& context, PlaylistModel& model)
      : context_(context), model_(model) {}

  // False when the file cannot be opened (the user was told why).
  bool LoadKpp(const std::string& path);
  // False when the file could not be written (nothing is reported).
  bool SaveKpp(const std::string& path);
  // The loader chosen by the exact extension (".kpp"; ".tmp" when
  // accept_tmp). False when no loader takes it or the load failed.
  bool LoadByExtension(const std::string& path, bool accept_tmp);

  // Replaces the playlist with these locations (each into the shuffle pool).
  void ReplaceWith(const std::vector<std::string>& locations,
                   const std::string& path);
  void RefreshLines();

 private:
  Context& context_;
  PlaylistModel& model_;
};

}  // namespace kivo
