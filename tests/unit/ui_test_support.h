#pragma once

#include <string>
#include <vector>

#include "core/playlist/entry_names.h"
#include "fakes/player_harness.h"

namespace kivo::testing {

// Fills the playlist: plain names become real media files in the program
// folder, addresses ("http...") become radio streams.
inline std::vector<std::string> LoadEntries(
    PlayerHarness& h, const std::vector<std::string>& names) {
  std::vector<std::string> locations;
  for (const std::string& name : names) {
    std::string location = name;
    if (IsNetworkStream(name)) {
      FakeAudioLibrary::Media stream;
      stream.kind = FakeAudioLibrary::Media::kUrl;
      stream.length_seconds = -1;
      h.audio.AddMedia(name, stream);
    } else {
      location = h.AddFile(name);
    }
    h.player->state().playlist.AppendEntry(location, BaseTitle(location),
                                           false);
    locations.push_back(location);
  }
  return locations;
}

// Starts entry index playing, as a double click does.
inline AudioLibrary::Handle PlayIndex(PlayerHarness& h, int index) {
  h.player->state().playlist.playing_index = index;
  h.player->playback().PlayEntry();
  h.loop.Drain();
  return h.player->state().playback.current_channel;
}

inline const MenuItem& ItemOf(PlayerHarness& h, const std::string& name) {
  return h.player->context().menus.Item(name);
}

}  // namespace kivo::testing
