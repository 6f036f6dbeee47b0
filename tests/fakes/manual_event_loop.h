#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "core/platform/event_loop.h"

namespace kivo::testing {

// The test is the event loop: posted tasks and workers wait until the test
// runs them, and timers tick only when told.
class ManualEventLoop : public EventLoop {
 public:
  void Post(Task task) override;
  void AddTimer(const std::string& name, int interval_ms,
                Task on_tick) override;
  void SetTimerEnabled(const std::string& name, bool enabled) override;
  bool TimerEnabled(const std::string& name) const override;
  // No window to hide: ticks are the test's to give.
  void SetTimerDrawsOnly(const std::string&) override {}
  void SetTimerNextTick(const std::string& name, int delay_ms) override;
  void RunAsync(const std::string& thread_name, Task task) override;
  void Quit(int exit_code) override;

  // Runs posted tasks (and what they post) until none is left.
  int RunPosted();
  // Runs the oldest waiting worker on this thread; false when none waits.
  bool RunNextWorker();
  // Runs workers and posted tasks until both are empty.
  void Drain();
  // One tick of an enabled timer; false when it is disabled or unknown.
  bool Tick(const std::string& name);
  int interval_ms(const std::string& name) const;
  // The delay the last tick (or call) asked for the next one; the interval
  // when none did.
  int next_tick_ms(const std::string& name) const;
  size_t waiting_workers() const;
  bool quit_called() const { return quit_called_; }
  int exit_code() const { return exit_code_; }

 private:
  struct Timer {
    int interval_ms = 0;
    bool enabled = false;
    Task on_tick;
    int next_tick_ms = 0;
  };
  mutable std::mutex mutex_;
  std::deque<Task> posted_;
  std::deque<Task> workers_;
  std::map<std::string, Timer> timers_;
  bool quit_called_ = false;
  int exit_code_ = 0;
};

}  // namespace kivo::testing
