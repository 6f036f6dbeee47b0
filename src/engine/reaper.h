#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace kivo::engine {

class Channel;

// The kivo-reap thread: freed channels end here. A channel's decode thread
// may sit in a network read and its download thread in a slow transfer;
// waiting for them is this thread's work, never the caller's of StreamFree.
// The destructor waits for every channel handed over so far.
class Reaper {
 public:
  Reaper();
  ~Reaper();
  Reaper(const Reaper&) = delete;
  Reaper& operator=(const Reaper&) = delete;

  // Takes a channel whose shutdown has been requested; returns at once.
  void Bury(std::shared_ptr<Channel> channel);

 private:
  void Run();

  std::mutex queue_mutex_;
  std::condition_variable queue_cv_;
  std::deque<std::shared_ptr<Channel>> queue_;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace kivo::engine
