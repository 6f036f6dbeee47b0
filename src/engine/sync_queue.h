#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kivo::engine {

// A channel event for the sync thread: the channel ended (its last sample has
// gone to the device) or new metadata arrived.
struct SyncEvent {
  uint32_t channel = 0;
  uint32_t type = 0;
  uint32_t data = 0;
};

// The kivo-sync thread. Producers (the audio callback, the network thread)
// only queue an event; the handler runs on this thread with no lock of ours
// held, so a sync callback may call back into the engine, even free the
// channel.
class SyncQueue {
 public:
  using Handler = std::function<void(const SyncEvent&)>;

  explicit SyncQueue(Handler handler);
  ~SyncQueue();
  SyncQueue(const SyncQueue&) = delete;
  SyncQueue& operator=(const SyncQueue&) = delete;

  void Push(const SyncEvent& event);

 private:
  void Run();

  Handler handler_;
  std::mutex queue_mutex_;
  std::condition_variable queue_cv_;
  std::deque<SyncEvent> queue_;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace kivo::engine
