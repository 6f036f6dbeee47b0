#pragma once

#include <map>
#include <string>

#include "support/loopback_server.h"

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

  int port() const { return server_.port(); }
  std::string Url(const std::string& path) const { return server_.Url(path); }

 private:
  void Answer(loopback::LoopbackServer::Connection& client) const;

  std::map<std::string, Response> routes_;
  loopback::LoopbackServer server_;  // last: its threads read routes_
};

}  // namespace kivo::desktop::testing
