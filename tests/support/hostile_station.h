#pragma once

#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace kivo::loopback {

// A loopback station on 127.0.0.1 that answers every request with whatever
// its reply function writes, byte for byte: broken heads, endless headers,
// redirects anywhere. At most `max_requests` connections, each on its own
// thread; everything ends after `lifetime_ms` or at Stop.
class HostileStation : public LoopbackServer {
 public:
  explicit HostileStation(Reply reply, int max_requests = 8,
                          int lifetime_ms = 20000)
      : LoopbackServer(std::move(reply), max_requests, lifetime_ms) {}

  std::string Url(const std::string& path = "/stream") const {
    return LoopbackServer::Url(path);
  }
  int requests() const { return connections(); }
};

// An MP3 station's ICY body: `audio` with a metadata block after every
// `metaint` bytes, block n holding `blocks[n % size]` (each at most 4080
// bytes, padded with NULs to a multiple of 16).
std::string IcyBody(const std::string& audio, size_t metaint,
                    const std::vector<std::string>& blocks);

// A TLS server with a self-signed certificate made for it (openssl s_server),
// stopped by its process id.
class SelfSignedTlsServer {
 public:
  explicit SelfSignedTlsServer(const std::string& folder);
  ~SelfSignedTlsServer();
  SelfSignedTlsServer(const SelfSignedTlsServer&) = delete;
  SelfSignedTlsServer& operator=(const SelfSignedTlsServer&) = delete;

  // False when openssl is missing or the server did not come up.
  bool ready() const { return ready_; }
  std::string Url() const;

 private:
  int pid_ = -1;
  int port_ = 0;
  bool ready_ = false;
};

}  // namespace kivo::loopback
