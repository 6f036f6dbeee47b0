#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_server.h"

namespace kivo::loopback {

// A loopback SHOUTcast-style server on 127.0.0.1 (port chosen by the system)
// for one test. Each connection is served on its own thread, at most
// `max_requests` in all; the server ends after `lifetime_ms` at the latest or
// when stopped.
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
    size_t drop_after = 0;   // the first connection drops after these bytes
    size_t drop_every = 0;   // every connection drops after this many bytes
    bool redirect = false;   // "/old" answers 302 to "/stream"
    bool proxy = false;      // serves only absolute-form (proxy) requests
    int chunk_pause_ms = 0;  // pause after every metaint (or 4096) bytes
    int max_requests = 4;
    int lifetime_ms = 30000;
    // A live station: a request continues the audio where the station's
    // previous listener stopped, and takes the station over from it; once
    // the audio is all sent the station is off the air (404).
    bool live = false;
    int refuse_from_request = 0;  // this request (from 1) and later get 404
    // A file on a web server: HTTP/1.1 with Content-Length; with `ranges`
    // "Range: bytes=N-" is answered 206 from byte N.
    bool file = false;
    bool ranges = false;
  };

  explicit RadioServer(Script script);
  RadioServer(const RadioServer&) = delete;
  RadioServer& operator=(const RadioServer&) = delete;

  std::string Url(const std::string& path = "/stream") const;
  int port() const { return server_.port(); }
  // The request heads received so far.
  std::vector<std::string> Requests();
  // Audio bytes a live station has sent so far.
  size_t LiveCursor();
  void Stop();

 private:
  using Connection = LoopbackServer::Connection;

  void Serve(Connection& client);
  bool TakeStation(int request, size_t* start);
  void ServeFile(Connection& client);
  bool SendBody(Connection& client, size_t start);
  size_t DropAt(int request, size_t start) const;
  bool Pause(int ms, Connection& client);
  bool Superseded(int request);
  void Advance(int request, size_t position);
  std::string MetaBlock(size_t index) const;

  Script script_;
  std::mutex requests_mutex_;  // guards the three below
  std::vector<std::string> requests_;
  size_t live_cursor_ = 0;
  int live_listener_ = 0;
  LoopbackServer server_;  // last: its threads use the above
};

}  // namespace kivo::loopback
