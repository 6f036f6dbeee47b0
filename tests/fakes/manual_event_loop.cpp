#include "fakes/manual_event_loop.h"

namespace kivo::testing {

void ManualEventLoop::Post(Task task) {
  std::lock_guard lock(mutex_);
  posted_.push_back(std::move(task));
}

void ManualEventLoop::AddTimer(const std::string& name, int interval_ms,
                               Task on_tick) {
  timers_[name] = Timer{interval_ms, false, std::move(on_tick), interval_ms};
}

void ManualEventLoop::SetTimerNextTick(const std::string& name, int delay_ms) {
  auto it = timers_.find(name);
  if (it != timers_.end() && it->second.enabled) {
    it->second.next_tick_ms = delay_ms;
  }
}

void ManualEventLoop::SetTimerEnabled(const std::string& name, bool enabled) {
  auto it = timers_.find(name);
  if (it != timers_.end()) it->second.enabled = enabled;
}

bool ManualEventLoop::TimerEnabled(const std::string& name) const {
  auto it = timers_.find(name);
  return it != timers_.end() && it->second.enabled;
}

void ManualEventLoop::RunAsync(const std::string&, Task task) {
  std::lock_guard lock(mutex_);
  workers_.push_back(std::move(task));
}

void ManualEventLoop::Quit(int exit_code) {
  quit_called_ = true;
  exit_code_ = exit_code;
}

int ManualEventLoop::RunPosted() {
  int count = 0;
  while (true) {
    Task task;
    {
      std::lock_guard lock(mutex_);
      if (posted_.empty()) return count;
      task = std::move(posted_.front());
      posted_.pop_front();
    }
    task();
    ++count;
  }
}

bool ManualEventLoop::RunNextWorker() {
  Task task;
  {
    std::lock_guard lock(mutex_);
    if (workers_.empty()) return false;
    task = std::move(workers_.front());
    workers_.pop_front();
  }
  task();
  return true;
}

void ManualEventLoop::Drain() {
  do {
    while (RunNextWorker()) {
    }
  } while (RunPosted() > 0 || waiting_workers() > 0);
}

bool ManualEventLoop::Tick(const std::string& name) {
  auto it = timers_.find(name);
  if (it == timers_.end() || !it->second.enabled) return false;
  Task on_tick = it->second.on_tick;
  it->second.next_tick_ms = it->second.interval_ms;
  on_tick();
  return true;
}

int ManualEventLoop::interval_ms(const std::string& name) const {
  auto it = timers_.find(name);
  return it == timers_.end() ? 0 : it->second.interval_ms;
}

int ManualEventLoop::next_tick_ms(const std::string& name) const {
  auto it = timers_.find(name);
  return it == timers_.end() ? 0 : it->second.next_tick_ms;
}

size_t ManualEventLoop::waiting_workers() const {
  std::lock_guard lock(mutex_);
  return workers_.size();
}

}  // namespace kivo::testing
