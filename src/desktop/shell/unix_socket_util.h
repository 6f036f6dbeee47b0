#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <string>

namespace kivo::desktop {

// Creates folder (mode 0700) or accepts an existing one that is a real
// folder owned by this user, tightening its mode to 0700.
bool PrepareOwnerOnlyFolder(const std::string& folder);

// A connected stream socket to path, -1 when nobody listens there.
int ConnectUnixSocket(const std::string& path);

// The uid and the process id at the other end of a Unix socket, -1 when
// unknown.
long PeerUid(int fd);
long PeerPid(int fd);

// Writes all of data, or fails (error, peer gone, time-out of the socket).
bool SendAll(int fd, const char* data, size_t size);

// Waits on a connected socket for as long as the process at the other end
// lives: there is no time-out. When nothing has moved for notice_after_ms,
// on_slow runs once (to tell the user what the wait is for).
class PeerWait {
 public:
  PeerWait(int fd, int notice_after_ms, std::function<void()> on_slow);

  // Sends all of data; false when the peer has gone.
  bool SendAll(const char* data, size_t size);
  // Receives one byte; false when the peer has gone without sending it.
  bool ReceiveByte();

 private:
  // Until fd is ready for events (or hung up); false on a poll error.
  bool WaitFor(short events);

  int fd_;
  int notice_after_ms_;
  std::function<void()> on_slow_;
  bool noticed_ = false;
};

}  // namespace kivo::desktop
