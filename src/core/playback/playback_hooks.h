#pragma once

#include <functional>
#include <string>

namespace kivo {

// What the controller asks of the queue, Last.fm and the now-playing
// announcement. Player wires them to their subsystems; an unset hook is a
// subsystem that is not there, and the controller goes on without it. All are
// called on the GUI thread.
struct PlaybackHooks {
  // Takes the first queued location out of the queue, renumbers the rest and
  // returns its playlist index (-1 when it is no longer in the playlist).
  std::function<int()> pop_queue;
  // The entry at the playing index starts: it leaves the queue if queued.
  std::function<void()> unqueue_started;
  // The track ended by itself; CurrentChannel still holds it.
  std::function<void()> submit_played;
  // A local track was opened: start the now-playing notification.
  std::function<void()> scrobble_now_playing;
  // Last.fm's play-time count of the track runs (true) or stops (false).
  std::function<void(bool counting)> count_play_time;
  // Announces a title to the desktop (text, state of "MSN Now Playing").
  std::function<void(const std::string& text, bool enabled)> send_now_playing;
};

}  // namespace kivo
