#pragma once

#include <string>

#include "core/platform/event_loop.h"
#include "core/util/progress.h"

namespace kivo {

// The platform's loop with posted work passed through the gate: a result a
// worker or an engine thread posts while a long operation walks the playlist
// runs after it. Timers and workers are the platform's own; timers only read
// the playlist.
class GatedEventLoop final : public EventLoop {
 public:
  GatedEventLoop(EventLoop& loop, WorkGate& gate) : loop_(loop), gate_(gate) {}

  void Post(Task task) override;
  void AddTimer(const std::string& name, int interval_ms,
                Task on_tick) override {
    loop_.AddTimer(name, interval_ms, std::move(on_tick));
  }
  void SetTimerEnabled(const std::string& name, bool enabled) override {
    loop_.SetTimerEnabled(name, enabled);
  }
  bool TimerEnabled(const std::string& name) const override {
    return loop_.TimerEnabled(name);
  }
  void SetTimerDrawsOnly(const std::string& name) override {
    loop_.SetTimerDrawsOnly(name);
  }
  void SetTimerNextTick(const std::string& name, int delay_ms) override {
    loop_.SetTimerNextTick(name, delay_ms);
  }
  void RunAsync(const std::string& thread_name, Task task) override {
    loop_.RunAsync(thread_name, std::move(task));
  }
  void Quit(int exit_code) override { loop_.Quit(exit_code); }

 private:
  EventLoop& loop_;
  WorkGate& gate_;
};

}  // namespace kivo
