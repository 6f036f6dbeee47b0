#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace kivo::desktop {

// SIGTERM, SIGINT and SIGHUP as a call on the GUI thread: the session's end
// at logout, Ctrl+C in a terminal, a closed terminal. The handler only writes
// the signal's number into a pipe, all a handler may safely do; a socket
// notifier reads it in the Qt loop. Each handler is good for one signal: a
// second one of the same kind ends the process the default way, so a player
// that hangs while it closes can still be ended.
//
// One object per process, created and destroyed on the GUI thread.
class SessionSignals final : public QObject {
 public:
  explicit SessionSignals(std::function<void()> on_signal);
  ~SessionSignals() override;
  SessionSignals(const SessionSignals&) = delete;
  SessionSignals& operator=(const SessionSignals&) = delete;

 private:
  void Drain();

  std::function<void()> on_signal_;
  int read_fd_ = -1;
  int write_fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kivo::desktop
