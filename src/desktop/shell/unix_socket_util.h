#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace kivo::desktop {

// Creates folder (mode 0700) or accepts an existing one that is a real
// folder owned by this user, tightening its mode to 0700.
bool PrepareOwnerOnlyFolder(const std::string& folder);

// A connected stream socket to path, -1 when nobody listens there.
int ConnectUnixSocket(const std::string& path);

// The uid of the process at the other end of a Unix socket, -1 when unknown.
long PeerUid(int fd);

// Writes all of data, or fails (error, peer gone, time-out of the socket).
bool SendAll(int fd, const char* data, size_t size);

// Waits up to timeout_ms for one byte.
bool ReceiveByte(int fd, int timeout_ms);

}  // namespace kivo::desktop
