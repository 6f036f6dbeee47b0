#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kivo::engine::test {

// A loopback SHOUTcast-style server on 127.0.0.1 (port chosen by the system)
// for one test. It answers requests one after another, at most
// `max_requests`, and ends after 30 s at the latest or when stopped.
class RadioServer {
 public:
  struct Script {
    std::string audio;                // the audio bytes of the stream
    size_t metaint = 0;               // 0: no in-stream metadata
    std::string metaint_header;       // sent instead of metaint when not empty
    std::vector<std::string> titles;  // one block each; "" an empty block
    bool oversized_meta = false;      // the first block is 255 * 16 bytes
    size_t stall_after = 0;           // audio bytes before a pause of stall_ms
    int stall_ms = 0;
    size_t drop_after = 0;   // audio bytes before the connection drops
    bool redirect = false;   // "/old" answers 302 to "/stream"
    bool proxy = false;      // serves only absolute-form (proxy) requests
    int chunk_pause_ms = 0;  // pause after every metaint (or 4096) bytes
    int max_requests = 4;
  };

  explicit RadioServer(Script script);
  ~RadioServer();
  RadioServer(const RadioServer&) = delete;
  RadioServer& operator=(const RadioServer&) = delete;

  std::string Url(const std::string& path = "/stream") const;
  int port() const { return port_; }
  // The request heads received so far.
  std::vector<std::string> Requests();
  void Stop();

 private:
  void Run();
  void Serve(int client);
  bool SendBody(int client);
  std::string MetaBlock(size_t index) const;

  Script script_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex requests_mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace kivo::engine::test
