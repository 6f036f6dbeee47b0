#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "engine/thread_name.h"

namespace kivo::engine {

// One named thread that handles queued items in order. Producers only queue;
// the handler runs on this thread with no lock of ours held, so it may call
// back into the engine. The destructor ends the thread after the item in
// hand; items still queued are dropped unhandled.
template <typename Item>
class WorkQueue {
 public:
  using Handler = std::function<void(Item&)>;

  WorkQueue(const char* thread_name, Handler handler)
      : handler_(std::move(handler)),
        thread_([this, thread_name] { Run(thread_name); }) {}
  ~WorkQueue() {
    {
      std::lock_guard lock(queue_mutex_);
      quit_ = true;
    }
    queue_cv_.notify_one();
    thread_.join();
  }
  WorkQueue(const WorkQueue&) = delete;
  WorkQueue& operator=(const WorkQueue&) = delete;

  void Push(Item item) {
    {
      std::lock_guard lock(queue_mutex_);
      queue_.push_back(std::move(item));
    }
    queue_cv_.notify_one();
  }

 private:
  void Run(const char* thread_name) {
    NameThisThread(thread_name);
    std::unique_lock lock(queue_mutex_);
    while (true) {
      queue_cv_.wait(lock, [this] { return quit_ || !queue_.empty(); });
      if (quit_) return;
      Item item = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      handler_(item);
      lock.lock();
    }
  }

  Handler handler_;
  std::mutex queue_mutex_;
  std::condition_variable queue_cv_;
  std::deque<Item> queue_;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace kivo::engine
