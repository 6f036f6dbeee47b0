#pragma once

#include <string>

namespace kivo {

// Announces the playing title to the desktop (empty clears it). Without a
// session bus nothing is sent and nothing fails. GUI thread only.
class NowPlaying {
 public:
  virtual ~NowPlaying() = default;
  virtual void Announce(const std::string& title) = 0;
  // Playback state, volume or what is possible may have changed; read
  // ShellEvents::Status() and tell what differs.
  virtual void StatusChanged() = 0;
  // The user moved the position of the playing track.
  virtual void Seeked() = 0;
};

}  // namespace kivo
