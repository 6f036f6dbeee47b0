#pragma once

#include <memory>

#include "engine/channel.h"
#include "engine/work_queue.h"

namespace kivo::engine {

// The kivo-reap thread: freed channels end here. A channel's decode thread
// may sit in a network read and its download thread in a slow transfer;
// waiting for them is this thread's work, never the caller's of StreamFree.
// A channel still queued when the reaper goes is joined by its destructor.
class Reaper {
 public:
  Reaper()
      : queue_("kivo-reap", [](std::shared_ptr<Channel>& channel) {
          channel->Join();
          channel.reset();
        }) {}

  // Takes a channel whose shutdown has been requested; returns at once.
  void Bury(std::shared_ptr<Channel> channel) {
    queue_.Push(std::move(channel));
  }

 private:
  WorkQueue<std::shared_ptr<Channel>> queue_;
};

}  // namespace kivo::engine
