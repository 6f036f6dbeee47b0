#pragma once

#include <cstdint>
#include <string>

#include "core/app/context.h"
#include "core/playlist/playlist_model.h"

namespace kivo {

// The channel that plays, and the open that is on its way.
struct PlaybackState {
  AudioLibrary::Handle current_channel = 0;
  AudioLibrary::Handle end_sync = 0;
  // Counts PlayEntry calls; an open that finishes for an older one is stale.
  uint64_t open_generation = 0;
};

// Turns a request to play an entry into a playing channel. The channel is
// created on a worker; everything else happens on the GUI thread.
class PlaybackController {
 public:
  PlaybackController(Context& context, PlaylistModel& model,
                     PlaybackState& state)
      : context_(context), model_(model), state_(state) {}

  // Starts the entry at the model's playing index.
  void PlayEntry();
  int ChannelState() const;

 private:
  void OpenAndPlay(const std::string& location, uint64_t generation);
  void ChannelOpened(const std::string& location, uint64_t generation,
                     AudioLibrary::Handle channel);
  void FreeChannel(AudioLibrary::Handle channel);

  Context& context_;
  PlaylistModel& model_;
  PlaybackState& state_;
};

}  // namespace kivo
