#pragma once

#include <atomic>
#include <map>
#include <string>
#include <thread>

namespace kivo::desktop::testing {

// A tiny HTTP/1.0 server on 127.0.0.1 for the download tests: fixed
// responses by path, at most max_requests connections, and it stops itself
// after a bounded time or when destroyed.
class LoopbackHttpServer {
 public:
  struct Response {
    std::string status = "200 OK";
    std::string headers;  // extra header lines, each ending with \r\n
    std::string body;
  };

  LoopbackHttpServer(std::map<std::string, Response> routes, int max_requests);
  ~LoopbackHttpServer();

  int port() const { return port_; }
  std::string Url(const std::string& path) const;

 private:
  void Serve(int max_requests);
  void Answer(int client);

  std::map<std::string, Response> routes_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace kivo::desktop::testing
