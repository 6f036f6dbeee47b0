#pragma once

#include <functional>
#include <string>

namespace kivo {

// The GUI thread's event loop, its named timers and short-lived workers.
//
// Post may be called from any thread; the task runs later on the GUI thread, in
// the order posted. Everything else is called on the GUI thread only. Timer
// callbacks run on the GUI thread. RunAsync starts a named worker thread that
// must not touch player state: it reports back with Post.
class EventLoop {
 public:
  using Task = std::function<void()>;

  virtual ~EventLoop() = default;

  virtual void Post(Task task) = 0;

  // Creates a stopped timer; its name identifies it from then on.
  virtual void AddTimer(const std::string& name, int interval_ms,
                        Task on_tick) = 0;
  virtual void SetTimerEnabled(const std::string& name, bool enabled) = 0;
  virtual bool TimerEnabled(const std::string& name) const = 0;
  // Marks a timer whose ticks only draw on the main window. A loop may hold
  // it while no window is on screen (hidden in the tray, minimized), without
  // changing TimerEnabled, and must tick it once when a window shows again.
  virtual void SetTimerDrawsOnly(const std::string& name) = 0;
  // The next tick of a running timer comes `delay_ms` from now, later ones
  // at its interval again: a tick that knows nothing changes before then
  // spares the wakeups in between.
  virtual void SetTimerNextTick(const std::string& name, int delay_ms) = 0;

  virtual void RunAsync(const std::string& thread_name, Task task) = 0;

  // Leaves the loop; the program ends with exit_code without closing steps.
  virtual void Quit(int exit_code) = 0;
};

}  // namespace kivo
