#include "desktop/shell/unix_socket_util.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace kivo::desktop {

bool PrepareOwnerOnlyFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
      info.st_uid != getuid()) {
    return false;
  }
  if ((info.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) {
    return false;
  }
  return true;
}

int ConnectUnixSocket(const std::string& path) {
  sockaddr_un address{};
  if (path.size() >= sizeof(address.sun_path)) return -1;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address),
              sizeof(address)) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

namespace {

bool PeerCredentials(int fd, ucred* credentials) {
  socklen_t length = sizeof(*credentials);
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, credentials, &length) == 0;
}

}  // namespace

long PeerUid(int fd) {
  ucred credentials{};
  if (!PeerCredentials(fd, &credentials)) return -1;
  return static_cast<long>(credentials.uid);
}

long PeerPid(int fd) {
  ucred credentials{};
  if (!PeerCredentials(fd, &credentials)) return -1;
  return static_cast<long>(credentials.pid);
}

bool SendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t sent = send(fd, data, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

PeerWait::PeerWait(int fd, int notice_after_ms, std::function<void()> on_slow)
    : fd_(fd), notice_after_ms_(notice_after_ms), on_slow_(std::move(on_slow)) {
  fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

bool PeerWait::SendAll(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t sent = send(fd_, data, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(POLLOUT)) return false;
      continue;
    }
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

bool PeerWait::ReceiveByte() {
  for (;;) {
    char byte = 0;
    const ssize_t got = recv(fd_, &byte, 1, 0);
    if (got == 1) return true;
    if (got < 0 && errno == EINTR) continue;
    // End of stream: the process at the other end ended without answering.
    if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return false;
    if (!WaitFor(POLLIN)) return false;
  }
}

bool PeerWait::WaitFor(short events) {
  for (;;) {
    pollfd waiting{fd_, events, 0};
    const int ready = poll(&waiting, 1, noticed_ ? -1 : notice_after_ms_);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return false;
    if (ready > 0) return true;  // ready or hung up: the next call tells
    noticed_ = true;
    if (on_slow_) on_slow_();
  }
}

}  // namespace kivo::desktop
