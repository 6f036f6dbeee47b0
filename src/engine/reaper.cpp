#include "engine/reaper.h"

#include "engine/channel.h"
#include "engine/thread_name.h"

namespace kivo::engine {

Reaper::Reaper() : thread_([this] { Run(); }) {}

Reaper::~Reaper() {
  {
    std::lock_guard lock(queue_mutex_);
    quit_ = true;
  }
  queue_cv_.notify_one();
  thread_.join();
}

void Reaper::Bury(std::shared_ptr<Channel> channel) {
  {
    std::lock_guard lock(queue_mutex_);
    queue_.push_back(std::move(channel));
  }
  queue_cv_.notify_one();
}

void Reaper::Run() {
  NameThisThread("kivo-reap");
  std::unique_lock lock(queue_mutex_);
  while (true) {
    queue_cv_.wait(lock, [this] { return quit_ || !queue_.empty(); });
    if (queue_.empty()) return;  // quit, and everything is buried
    std::shared_ptr<Channel> channel = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    channel->Join();
    channel.reset();
    lock.lock();
  }
}

}  // namespace kivo::engine
