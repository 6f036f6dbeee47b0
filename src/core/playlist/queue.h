#pragma once

#include <string>
#include <vector>

#include "core/playlist/playlist_model.h"

namespace kivo {

// The queue: locations picked to play next, ahead of the play mode, first =
// next. Locations match without regard to ASCII case, first match. A queued
// entry's line reads "<position> > <name>". Callers repaint. GUI thread only.
class Queue {
 public:
  Queue(PlaylistModel& model, std::vector<std::string>& queue_list)
      : model_(model), queue_list_(queue_list) {}

  // Queues the entry at index, or takes it out again. Nothing happens for no
  // line (-1) and for the playing entry.
  void QueueToggle(int index);
  // The line of every queued entry rewritten with its position.
  void RenumberQueue();
  // Takes the first queued location off the queue; the index of its first
  // entry, -1 when it is no longer in the playlist (or the queue is empty).
  int PopQueue();
  // The entry that has just started leaves the queue.
  void UnqueueStarted();
  bool Contains(const std::string& location) const {
    return Find(location) >= 0;
  }

 private:
  int Find(const std::string& location) const;

  PlaylistModel& model_;
  std::vector<std::string>& queue_list_;
};

}  // namespace kivo
