#pragma once

#include <cstdint>
#include <string>

#include "core/platform/audio_library.h"

namespace kivo {

// What the core knows of the seek bar: the window has no getters, and clicks
// and arrow keys need the range and the clamped position.
struct SeekbarState {
  int max = 100;
  int position = 0;
  bool enabled = false;
};

// The channel that plays, the open that is on its way, and the displays that
// follow it. GUI thread only.
struct PlaybackState {
  AudioLibrary::Handle current_channel = 0;
  AudioLibrary::Handle end_sync = 0;
  // Counts PlayEntry calls; an open that finishes for an older one is stale.
  uint64_t open_generation = 0;
  // The PlayEntry whose open arrived last; behind open_generation while an
  // open is on its way.
  uint64_t arrived_generation = 0;
  // Set while an end of stream advances, so only that start gets a balloon.
  bool balloon_pending = false;
  int volume_level = 5000;  // 0..10000
  int meter_left = 0;       // held level bar values, 0..40000
  int meter_right = 0;
  SeekbarState seekbar;
  // The playing title as the tray menu shows it (before "&" doubling).
  std::string title;
};

}  // namespace kivo
