#include "desktop/shell/qt_event_loop.h"

#include <pthread.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <thread>
#include <utility>

namespace kivo::desktop {
namespace {

// A task that throws must not take the loop down with it.
void RunGuarded(const EventLoop::Task& task, const char* where) {
  try {
    if (task) task();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kivo-player: %s: %s\n", where, error.what());
  } catch (...) {
    std::fprintf(stderr, "kivo-player: %s: unknown error\n", where);
  }
}

}  // namespace

QtEventLoop::QtEventLoop() : workers_(std::make_shared<Workers>()) {
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  window_shown_ = AnyWindowShown();
}

QtEventLoop::~QtEventLoop() = default;

void QtEventLoop::Post(Task task) {
  {
    std::lock_guard<std::mutex> lock(posted_mutex_);
    posted_locked_.push_back(std::move(task));
    if (wakeup_pending_locked_) return;
    wakeup_pending_locked_ = true;
  }
  QMetaObject::invokeMethod(this, "RunPosted", Qt::QueuedConnection);
}

void QtEventLoop::RunPosted() {
  std::deque<Task> batch;
  {
    std::lock_guard<std::mutex> lock(posted_mutex_);
    batch.swap(posted_locked_);
    wakeup_pending_locked_ = false;
  }
  for (const Task& task : batch) RunGuarded(task, "posted task");
}

void QtEventLoop::AddTimer(const std::string& name, int interval_ms,
                           Task on_tick) {
  Timer& timer = timers_[name];
  delete timer.timer;
  timer = Timer{new QTimer(this), std::move(on_tick), interval_ms};
  timer.timer->setInterval(interval_ms);
  connect(timer.timer, &QTimer::timeout, this,
          [qt_timer = timer.timer, interval_ms, tick = timer.on_tick] {
            // After a deferred tick the timer keeps its own pace again.
            if (qt_timer->interval() != interval_ms) {
              qt_timer->setInterval(interval_ms);
            }
            RunGuarded(tick, "timer");
          });
}

void QtEventLoop::SetTimerEnabled(const std::string& name, bool enabled) {
  const auto found = timers_.find(name);
  if (found == timers_.end()) return;
  found->second.enabled = enabled;
  ApplyTimer(found->second);
}

bool QtEventLoop::TimerEnabled(const std::string& name) const {
  const auto found = timers_.find(name);
  return found != timers_.end() && found->second.enabled;
}

void QtEventLoop::SetTimerDrawsOnly(const std::string& name) {
  const auto found = timers_.find(name);
  if (found == timers_.end()) return;
  found->second.draws_only = true;
  ApplyTimer(found->second);
}

void QtEventLoop::SetTimerNextTick(const std::string& name, int delay_ms) {
  const auto found = timers_.find(name);
  if (found == timers_.end() || !found->second.timer->isActive()) return;
  found->second.timer->start(std::max(0, delay_ms));
}

void QtEventLoop::ApplyTimer(Timer& timer) {
  const bool run = timer.enabled && (window_shown_ || !timer.draws_only);
  if (!run) {
    timer.timer->stop();
  } else if (!timer.timer->isActive()) {
    timer.timer->start(timer.interval_ms);
  }
}

bool QtEventLoop::AnyWindowShown() {
  for (const QWidget* widget : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = widget->windowType();
    // The tray icon on X11 is a window the window manager leaves alone; it
    // stays on screen while the main window is hidden in the tray.
    const bool unmanaged =
        widget->windowFlags().testFlag(Qt::BypassWindowManagerHint);
    if ((type == Qt::Window || type == Qt::Dialog) && !unmanaged &&
        widget->isVisible() && !widget->isMinimized()) {
      return true;
    }
  }
  return false;
}

bool QtEventLoop::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::Show || type == QEvent::Hide ||
       type == QEvent::WindowStateChange) &&
      watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
    const bool was_shown = window_shown_;
    window_shown_ = AnyWindowShown();
    for (auto& [name, timer] : timers_) {
      // What was held is brought up to date at once, not a tick later.
      if (!was_shown && window_shown_ && timer.enabled && timer.draws_only) {
        RunGuarded(timer.on_tick, "timer");
      }
      ApplyTimer(timer);
    }
  }
  return QObject::eventFilter(watched, event);
}

void QtEventLoop::RunAsync(const std::string& thread_name, Task task) {
  std::shared_ptr<Workers> workers = workers_;
  {
    std::lock_guard<std::mutex> lock(workers->mutex);
    ++workers->running;
  }
  // Linux keeps 15 characters of a thread name.
  std::thread worker(
      [workers, name = thread_name.substr(0, 15), work = std::move(task)] {
        pthread_setname_np(pthread_self(), name.c_str());
        RunGuarded(work, "worker");
        std::lock_guard<std::mutex> lock(workers->mutex);
        --workers->running;
        workers->ended.notify_all();
      });
  worker.detach();
}

void QtEventLoop::Quit(int exit_code) {
  quit_requested_ = true;
  exit_code_ = exit_code;
  QCoreApplication::exit(exit_code);
}

int QtEventLoop::Exec() {
  if (quit_requested_) return exit_code_;
  const int code = QCoreApplication::exec();
  return quit_requested_ ? exit_code_ : code;
}

bool QtEventLoop::WaitForWorkers(int timeout_ms) {
  std::unique_lock<std::mutex> lock(workers_->mutex);
  return workers_->ended.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                  [this] { return workers_->running == 0; });
}

int QtEventLoop::RunningWorkers() const {
  std::lock_guard<std::mutex> lock(workers_->mutex);
  return workers_->running;
}

}  // namespace kivo::desktop
