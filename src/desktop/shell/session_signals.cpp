#include "desktop/shell/session_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace kivo::desktop {
namespace {

constexpr int kSessionSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<int> signal_write_fd{-1};

extern "C" void OnSessionSignal(int number) {
  const int saved_errno = errno;
  const int fd = signal_write_fd.load();
  const auto byte = static_cast<unsigned char>(number);
  if (fd >= 0 && write(fd, &byte, 1) < 0) {
    // A full pipe already holds a wake-up; nothing else can be done here.
  }
  errno = saved_errno;
}

void SetAction(void (*handler)(int), int flags) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  for (int number : kSessionSignals) sigaction(number, &action, nullptr);
}

}  // namespace

SessionSignals::SessionSignals(std::function<void()> on_signal)
    : on_signal_(std::move(on_signal)) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  read_fd_ = fds[0];
  write_fd_ = fds[1];
  signal_write_fd.store(write_fd_);
  notifier_ = new QSocketNotifier(read_fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
  SetAction(&OnSessionSignal, SA_RESTART | SA_RESETHAND);
}

SessionSignals::~SessionSignals() {
  if (read_fd_ < 0) return;
  SetAction(SIG_DFL, 0);
  signal_write_fd.store(-1);
  delete notifier_;
  close(read_fd_);
  close(write_fd_);
}

void SessionSignals::Drain() {
  unsigned char bytes[16];
  bool received = false;
  while (read(read_fd_, bytes, sizeof(bytes)) > 0) received = true;
  if (received && on_signal_) on_signal_();
}

}  // namespace kivo::desktop
