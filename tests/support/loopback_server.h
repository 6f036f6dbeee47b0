#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace kivo::loopback {

// The one TCP server every test folder builds its HTTP servers on: a listener
// on 127.0.0.1 (port chosen by the system), each accepted connection on its
// own thread with its request head already read and handed to the reply
// function. At most `max_connections` in all; everything ends after
// `lifetime_ms` at the latest or when the owner stops or destroys it, so a
// broken test cannot leave it running.
class LoopbackServer {
 public:
  class Connection {
   public:
    Connection(int fd, int number, const LoopbackServer& server,
               std::string head)
        : fd_(fd), number_(number), server_(server), head_(std::move(head)) {}
    // Which connection this is, from 1 in the order they were accepted.
    int number() const { return number_; }
    // The request head the client sent, up to and with the blank line.
    const std::string& head() const { return head_; }
    // False once the client has gone or the server is ending.
    bool Send(const std::string& data);
    // Sends `data` in pieces of `piece_bytes`, pausing `pause_ms` after each.
    bool Trickle(const std::string& data, size_t piece_bytes, int pause_ms);
    // Reads up to `bytes` more (a request body); less when the client stops
    // sending for a while or the server ends.
    std::string Receive(size_t bytes);
    // Waits until the client closes its side or the server ends.
    void AwaitClose();
    // Sleeps `ms`; false when the client has gone or the server is ending.
    bool Pause(int ms);
    bool Alive() const;
    bool Ending() const { return server_.Ending(); }

   private:
    int fd_;
    int number_;
    const LoopbackServer& server_;
    std::string head_;
  };
  using Reply = std::function<void(Connection& connection)>;

  LoopbackServer(Reply reply, int max_connections, int lifetime_ms);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  std::string Url(const std::string& path) const;
  int connections() const { return connections_; }
  bool Ending() const;
  // Ends every connection and joins their threads; idempotent.
  void Stop();

 private:
  void Run();

  Reply reply_;
  int max_connections_;
  std::chrono::steady_clock::time_point deadline_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::vector<std::thread> clients_;  // accept thread only
  std::thread thread_;
};

// A listening socket on 127.0.0.1 with a port the system picks (-1 on error).
int ListenOnLoopback(int* port);

// The request target of a head: "/path" from "GET /path HTTP/1.1".
std::string RequestTarget(const std::string& head);

}  // namespace kivo::loopback
