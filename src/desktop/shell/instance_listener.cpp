#include "desktop/shell/instance_listener.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>

#include "desktop/shell/unix_socket_util.h"

namespace kivo::desktop {
namespace {

constexpr int kStallTimeoutMs = 30000;
constexpr size_t kHeaderBytes = 8;
// Far beyond any list of file names; a garbled length must not exhaust memory.
constexpr uint64_t kMaxTextBytes = uint64_t{1} << 30;

uint64_t DecodeLength(const std::string& header) {
  uint64_t length = 0;
  for (size_t i = kHeaderBytes; i-- > 0;) {
    length = (length << 8) | static_cast<unsigned char>(header[i]);
  }
  return length;
}

}  // namespace

InstanceListener::InstanceListener(int listen_fd, std::string path,
                                   dev_t device, ino_t inode,
                                   InstanceLink::Receiver receiver,
                                   InstanceLink::ReleaseWhen release_when)
    : listen_fd_(listen_fd),
      path_(std::move(path)),
      device_(device),
      inode_(inode),
      handlers_(std::make_shared<const HandOffHandlers>(
          HandOffHandlers{std::move(receiver), std::move(release_when)})),
      notifier_(new QSocketNotifier(listen_fd, QSocketNotifier::Read, this)) {
  connect(notifier_, &QSocketNotifier::activated, this,
          &InstanceListener::AcceptPending);
}

InstanceListener::~InstanceListener() {
  notifier_->setEnabled(false);
  close(listen_fd_);
  // Only our own socket file: a newer instance may have replaced it.
  struct stat info {};
  if (lstat(path_.c_str(), &info) == 0 && info.st_dev == device_ &&
      info.st_ino == inode_) {
    unlink(path_.c_str());
  }
}

void InstanceListener::AcceptPending() {
  for (;;) {
    const int fd =
        accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (PeerUid(fd) != static_cast<long>(getuid())) {
      close(fd);
      continue;
    }
    new HandOffConnection(fd, handlers_, this);
  }
}

HandOffConnection::HandOffConnection(
    int fd, std::shared_ptr<const HandOffHandlers> handlers, QObject* parent)
    : QObject(parent),
      fd_(fd),
      handlers_(std::move(handlers)),
      notifier_(new QSocketNotifier(fd, QSocketNotifier::Read, this)) {
  connect(notifier_, &QSocketNotifier::activated, this,
          &HandOffConnection::ReadAvailable);
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, &HandOffConnection::Finish);
  deadline_.start(kStallTimeoutMs);
}

HandOffConnection::~HandOffConnection() { close(fd_); }

void HandOffConnection::ReadAvailable() {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = recv(fd_, buffer, sizeof(buffer), 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    // End of stream or an error before the text was whole.
    if (got <= 0 || !TakeBytes(buffer, static_cast<size_t>(got))) {
      Finish();
      return;
    }
  }
}

bool HandOffConnection::TakeBytes(const char* data, size_t size) {
  const size_t for_header = std::min(size, kHeaderBytes - header_.size());
  header_.append(data, for_header);
  data += for_header;
  size -= for_header;
  if (header_.size() < kHeaderBytes) return true;
  if (text_bytes_ == 0 && text_.empty()) {
    text_bytes_ = DecodeLength(header_);
    if (text_bytes_ > kMaxTextBytes) return false;
    text_.reserve(text_bytes_);
  }
  const size_t wanted = static_cast<size_t>(text_bytes_ - text_.size());
  text_.append(data, std::min(size, wanted));
  if (text_.size() < text_bytes_) return true;

  notifier_->setEnabled(false);
  deadline_.stop();
  Deliver();
  return false;
}

void HandOffConnection::Deliver() {
  try {
    if (handlers_->receiver) handlers_->receiver(text_);
  } catch (...) {
    std::fprintf(stderr, "kivo-player: hand-off handler failed\n");
  }
  if (!handlers_->release_when) {
    Answer();
    return;
  }
  awaiting_release_ = true;
  handlers_->release_when([connection = QPointer<HandOffConnection>(this)] {
    if (connection) connection->Answer();
  });
}

void HandOffConnection::Answer() {
  if (done_) return;
  // The sender has been waiting for exactly this.
  const char answer = 'K';
  SendAll(fd_, &answer, 1);
  awaiting_release_ = false;
  Finish();
}

void HandOffConnection::Finish() {
  // Kept until released: the sender's answer is still to come.
  if (done_ || awaiting_release_) return;
  done_ = true;
  notifier_->setEnabled(false);
  deadline_.stop();
  deleteLater();
}

}  // namespace kivo::desktop
