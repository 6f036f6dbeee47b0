#pragma once

#include <string>

namespace kivo {

// Announces the playing title to the desktop (empty clears it). Without a
// session bus nothing is sent and nothing fails. GUI thread only.
class NowPlaying {
 public:
  virtual ~NowPlaying() = default;
  virtual void Announce(const std::string& title) = 0;
  // Playback state, volume or position changed; read ShellEvents::Status().
  virtual void StatusChanged() = 0;
};

}  // namespace kivo
