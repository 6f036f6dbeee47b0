#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kivo::engine::test {

// A loopback station on 127.0.0.1 that answers every request with whatever
// its reply function writes, byte for byte: broken heads, endless headers,
// redirects anywhere. At most `max_requests` connections, each on its own
// thread; everything ends after `lifetime_ms` or at Stop.
class HostileStation {
 public:
  // One accepted connection, handed to the reply function.
  class Connection {
   public:
    Connection(int fd, const HostileStation& station, std::string head)
        : fd_(fd), station_(station), head_(std::move(head)) {}
    // The request head the client sent.
    const std::string& head() const { return head_; }
    // False once the client has gone or the station is ending.
    bool Send(const std::string& data);
    // Sends `data` in pieces of `piece_bytes`, pausing `pause_ms` after each.
    bool Trickle(const std::string& data, size_t piece_bytes, int pause_ms);
    bool Alive() const;

   private:
    int fd_;
    const HostileStation& station_;
    std::string head_;
  };
  using Reply = std::function<void(Connection& connection)>;

  explicit HostileStation(Reply reply, int max_requests = 8,
                          int lifetime_ms = 20000);
  ~HostileStation();
  HostileStation(const HostileStation&) = delete;
  HostileStation& operator=(const HostileStation&) = delete;

  std::string Url(const std::string& path = "/stream") const;
  int port() const { return port_; }
  int requests() const { return requests_; }
  void Stop();

 private:
  void Run();
  bool Ending() const;

  Reply reply_;
  int max_requests_;
  std::chrono::steady_clock::time_point deadline_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::vector<std::thread> clients_;  // accept thread only
  std::thread thread_;
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

}  // namespace kivo::engine::test
