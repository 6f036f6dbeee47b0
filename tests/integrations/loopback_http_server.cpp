#include "integrations/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace kivo::testing {
namespace {

constexpr int kPollMs = 50;
constexpr auto kServerLifetime = std::chrono::seconds(30);
constexpr auto kReadDeadline = std::chrono::seconds(5);
constexpr size_t kMaxRequestBytes = 4 << 20;

using Clock = std::chrono::steady_clock;

bool WaitReadable(int fd, int timeout_ms) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, timeout_ms) > 0;
}

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

// Reads one request: the head up to the blank line, then Content-Length
// bytes of body. Gives up at the deadline or the size bound.
RecordedRequest ReadRequest(int fd) {
  std::string data;
  size_t head_end = std::string::npos;
  size_t wanted_bytes = 0;
  const auto deadline = Clock::now() + kReadDeadline;
  char buffer[4096];
  while (Clock::now() < deadline && data.size() < kMaxRequestBytes) {
    if (head_end != std::string::npos && data.size() >= wanted_bytes) break;
    if (!WaitReadable(fd, kPollMs)) continue;
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    data.append(buffer, static_cast<size_t>(got));
    if (head_end == std::string::npos) {
      head_end = data.find("\r\n\r\n");
      if (head_end == std::string::npos) continue;
      const RecordedRequest head = ParseHead(data.substr(0, head_end));
      wanted_bytes =
          head_end + 4 +
          std::strtoul(head.Header("Content-Length").c_str(), nullptr, 10);
    }
  }
  if (head_end == std::string::npos) return ParseHead(data);
  RecordedRequest request = ParseHead(data.substr(0, head_end));
  request.body = data.substr(head_end + 4);
  return request;
}

void WriteAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t wrote =
        send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (wrote <= 0) return;
    sent += static_cast<size_t>(wrote);
  }
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

LoopbackHttpServer::LoopbackHttpServer(int max_connections) {
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  auto* raw = reinterpret_cast<sockaddr*>(&address);
  socklen_t length = sizeof address;
  if (bind(listen_fd_, raw, length) == 0 && listen(listen_fd_, 8) == 0 &&
      getsockname(listen_fd_, raw, &length) == 0) {
    port_ = ntohs(address.sin_port);
  }
  thread_ = std::thread([this, max_connections] { Serve(max_connections); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  thread_.join();
  close(listen_fd_);
}

std::string LoopbackHttpServer::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

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

void LoopbackHttpServer::Serve(int max_connections) {
  const auto end = Clock::now() + kServerLifetime;
  int served = 0;
  while (!stopping_ && served < max_connections && Clock::now() < end) {
    if (port_ == 0 || !WaitReadable(listen_fd_, kPollMs)) continue;
    const int client_fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client_fd < 0) continue;
    ++served;
    HandleConnection(client_fd);
    close(client_fd);
  }
}

void LoopbackHttpServer::HandleConnection(int client_fd) {
  RecordedRequest request = ReadRequest(client_fd);
  Behaviour behaviour;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
    behaviour = behaviour_;
  }
  if (behaviour == Behaviour::kReply) WriteAll(client_fd, NextReply());
  if (behaviour != Behaviour::kSilent) return;
  const auto end = Clock::now() + kServerLifetime;
  char byte;
  while (!stopping_ && Clock::now() < end) {
    if (WaitReadable(client_fd, kPollMs) && read(client_fd, &byte, 1) <= 0) {
      return;  // the client gave up
    }
  }
}

std::string LoopbackHttpServer::NextReply() {
  std::lock_guard lock(mutex_);
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

}  // namespace kivo::testing
