#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "core/platform/event_loop.h"

class QTimer;

namespace kivo::desktop {

// The GUI thread's loop on Qt. Post is the only call allowed from any
// thread: it queues the task under a private mutex and wakes the GUI thread
// with one queued call, which then runs everything queued so far in order.
// Workers from RunAsync are named, detached threads; their count outlives
// this object, so a worker ending late touches nothing freed. Draw-only
// timers are held while no top-level window is shown and not minimized.
class QtEventLoop final : public QObject, public EventLoop {
  Q_OBJECT

 public:
  QtEventLoop();
  ~QtEventLoop() override;

  void Post(Task task) override;
  void AddTimer(const std::string& name, int interval_ms,
                Task on_tick) override;
  void SetTimerEnabled(const std::string& name, bool enabled) override;
  bool TimerEnabled(const std::string& name) const override;
  void SetTimerDrawsOnly(const std::string& name) override;
  void SetTimerNextTick(const std::string& name, int delay_ms) override;
  void RunAsync(const std::string& thread_name, Task task) override;
  void Quit(int exit_code) override;

  // Runs the loop until Quit and returns its exit code; returns at once when
  // Quit came before.
  int Exec();
  bool quit_requested() const { return quit_requested_; }
  // Waits up to timeout_ms for the workers to end; true when none runs.
  bool WaitForWorkers(int timeout_ms);
  int RunningWorkers() const;

 private:
  struct Timer {
    QTimer* timer = nullptr;
    Task on_tick;
    int interval_ms = 0;
    bool enabled = false;
    bool draws_only = false;
  };
  struct Workers {
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
  };

  Q_INVOKABLE void RunPosted();
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Starts or stops each timer as its flags and the windows' state say.
  void ApplyTimer(Timer& timer);
  static bool AnyWindowShown();

  std::mutex posted_mutex_;
  std::deque<Task> posted_locked_;
  bool wakeup_pending_locked_ = false;

  std::map<std::string, Timer> timers_;
  bool window_shown_ = false;
  std::shared_ptr<Workers> workers_;
  bool quit_requested_ = false;
  int exit_code_ = 0;
};

}  // namespace kivo::desktop
