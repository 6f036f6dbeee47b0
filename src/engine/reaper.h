#pragma once

#include <functional>
#include <future>
#include <memory>

#include "engine/channel.h"
#include "engine/work_queue.h"

namespace kivo::engine {

// The kivo-reap thread: freed channels and an idle output device end here. A
// channel's decode thread may sit in a network read and its download thread
// in a slow transfer, and closing a device joins SDL's audio thread; waiting
// for them is this thread's work, never the caller's of StreamFree nor the
// audio thread's. A channel still queued when the reaper goes is joined by
// its destructor; other work still queued is dropped.
class Reaper {
 public:
  using Job = std::function<void()>;

  Reaper() : queue_("kivo-reap", [](Job& job) { job(); }) {}

  // Takes a channel whose shutdown has been requested; returns at once.
  void Bury(std::shared_ptr<Channel> channel) {
    // Released here, not later with the job, where the queue is locked.
    queue_.Push([channel = std::move(channel)]() mutable {
      channel->Join();
      channel.reset();
    });
  }
  // Runs `job` on the reaper's thread; returns at once.
  void Run(Job job) { queue_.Push(std::move(job)); }
  // Waits until everything queued so far has been done.
  void Drain() {
    std::promise<void> done;
    queue_.Push([&done] { done.set_value(); });
    done.get_future().wait();
  }

 private:
  WorkQueue<Job> queue_;
};

}  // namespace kivo::engine
