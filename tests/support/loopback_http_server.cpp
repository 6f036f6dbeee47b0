#include "support/loopback_http_server.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>

namespace kivo::loopback {
namespace {

constexpr int kServerLifetimeMs = 30000;
constexpr size_t kMaxBodyBytes = 4 << 20;

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

RecordedRequest ParseHead(const std::string& head) {
  RecordedRequest request;
  size_t start = 0;
  bool first = true;
  while (start < head.size()) {
    size_t end = head.find("\r\n", start);
    if (end == std::string::npos) end = head.size();
    const std::string line = head.substr(start, end - start);
    start = end + 2;
    if (first) {
      request.request_line = line;
      first = false;
      continue;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    request.headers.emplace_back(line.substr(0, colon),
                                 Trim(line.substr(colon + 1)));
  }
  return request;
}

// Reads one request: the head the server read, then Content-Length bytes of
// body (bounded).
RecordedRequest ReadRequest(LoopbackServer::Connection& client) {
  RecordedRequest request = ParseHead(client.head());
  const size_t body_bytes =
      std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
  request.body = client.Receive(std::min(body_bytes, kMaxBodyBytes));
  return request;
}

}  // namespace

std::string RecordedRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
  }
  return {};
}

bool RecordedRequest::HasHeader(const std::string& name) const {
  for (const auto& header : headers) {
    if (strcasecmp(header.first.c_str(), name.c_str()) == 0) return true;
  }
  return false;
}

LoopbackHttpServer::LoopbackHttpServer(int max_connections)
    : server_(
          [this](LoopbackServer::Connection& client) {
            HandleConnection(client);
          },
          max_connections, kServerLifetimeMs) {}

std::string LoopbackHttpServer::BaseUrl() const { return server_.Url(""); }

void LoopbackHttpServer::SetBehaviour(Behaviour behaviour) {
  std::lock_guard lock(mutex_);
  behaviour_ = behaviour;
}

void LoopbackHttpServer::QueueReply(std::string raw_reply) {
  std::lock_guard lock(mutex_);
  replies_.push_back(std::move(raw_reply));
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackHttpServer::HandleConnection(LoopbackServer::Connection& client) {
  RecordedRequest request = ReadRequest(client);
  Behaviour behaviour;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
    behaviour = behaviour_;
  }
  if (behaviour == Behaviour::kReply) {
    client.Send(NextReply(RequestTarget(client.head())));
  }
  if (behaviour == Behaviour::kSilent) client.AwaitClose();
}

void LoopbackHttpServer::Route(const std::string& path, std::string raw_reply) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(raw_reply);
}

std::string LoopbackHttpServer::NextReply(const std::string& target) {
  std::lock_guard lock(mutex_);
  const auto route = routes_.find(target);
  if (route != routes_.end()) return route->second;
  if (replies_.empty()) return HttpReply("200 OK", "OK");
  std::string reply = std::move(replies_.front());
  replies_.pop_front();
  return reply;
}

std::string HttpReply(const std::string& status_line, const std::string& body,
                      const std::string& extra_headers) {
  return "HTTP/1.1 " + status_line +
         "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n" + extra_headers + "\r\n" + body;
}

}  // namespace kivo::loopback
