#include "engine/sync_queue.h"

#include <utility>

#include "engine/thread_name.h"

namespace kivo::engine {

SyncQueue::SyncQueue(Handler handler)
    : handler_(std::move(handler)), thread_([this] { Run(); }) {}

SyncQueue::~SyncQueue() {
  {
    std::lock_guard lock(queue_mutex_);
    quit_ = true;
  }
  queue_cv_.notify_one();
  thread_.join();
}

void SyncQueue::Push(const SyncEvent& event) {
  {
    std::lock_guard lock(queue_mutex_);
    queue_.push_back(event);
  }
  queue_cv_.notify_one();
}

void SyncQueue::Run() {
  NameThisThread("kivo-sync");
  std::unique_lock lock(queue_mutex_);
  while (true) {
    queue_cv_.wait(lock, [this] { return quit_ || !queue_.empty(); });
    if (quit_) return;
    SyncEvent event = queue_.front();
    queue_.pop_front();
    lock.unlock();
    handler_(event);
    lock.lock();
  }
}

}  // namespace kivo::engine
