#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "support/loopback_server.h"

namespace kivo::loopback {

struct RecordedRequest {
  std::string request_line;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;

  // The value of the first header of that name (any case); empty when none.
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
};

// A one-request-per-connection HTTP server on 127.0.0.1 for tests. It records
// every request it reads and answers a request for a routed path with that
// path's reply, any other with the next queued reply. It serves at most
// max_connections and stops by itself after a while, so a broken test cannot
// leave it running.
class LoopbackHttpServer {
 public:
  enum class Behaviour {
    kReply,   // send the next queued reply (a default "OK" when none)
    kSilent,  // read the request and never answer
    kClose,   // read the request and close without a word
  };

  explicit LoopbackHttpServer(int max_connections);

  int port() const { return server_.port(); }
  std::string BaseUrl() const;
  std::string Url(const std::string& path) const { return server_.Url(path); }
  // Every request for `path` gets `raw_reply`.
  void Route(const std::string& path, std::string raw_reply);
  void SetBehaviour(Behaviour behaviour);
  void QueueReply(std::string raw_reply);
  std::vector<RecordedRequest> Requests() const;

 private:
  void HandleConnection(LoopbackServer::Connection& client);
  std::string NextReply(const std::string& target);

  mutable std::mutex mutex_;
  Behaviour behaviour_ = Behaviour::kReply;
  std::deque<std::string> replies_;
  std::map<std::string, std::string> routes_;
  std::vector<RecordedRequest> requests_;
  LoopbackServer server_;  // last: its threads use the above
};

// "HTTP/1.1 <status_line>" with a Content-Length, Connection: close, the
// extra header lines given (each ending in CR LF) and the body.
std::string HttpReply(const std::string& status_line, const std::string& body,
                      const std::string& extra_headers = {});

}  // namespace kivo::loopback
