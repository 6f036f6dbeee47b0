#include "support/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace kivo::loopback {

namespace {

constexpr size_t kMaxHeadBytes = 8192;
constexpr int kPollMs = 20;
constexpr int kIdleClientMs = 2000;  // a client silent this long is done

bool WaitReadable(int fd, int timeout_ms) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, timeout_ms) > 0;
}

std::string ReadHead(int fd) {
  std::string head;
  char c;
  while (head.size() < kMaxHeadBytes &&
         head.find("\r\n\r\n") == std::string::npos) {
    if (!WaitReadable(fd, kIdleClientMs) || recv(fd, &c, 1, 0) != 1) break;
    head += c;
  }
  return head;
}

}  // namespace

int ListenOnLoopback(int* port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  auto* raw = reinterpret_cast<sockaddr*>(&address);
  socklen_t length = sizeof(address);
  if (fd < 0 || bind(fd, raw, length) != 0 || listen(fd, 8) != 0 ||
      getsockname(fd, raw, &length) != 0) {
    if (fd >= 0) close(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

std::string RequestTarget(const std::string& head) {
  const size_t start = head.find(' ');
  const size_t end = head.find(' ', start + 1);
  if (start == std::string::npos || end == std::string::npos) return {};
  return head.substr(start + 1, end - start - 1);
}

bool LoopbackServer::Connection::Alive() const {
  if (Ending()) return false;
  pollfd p{fd_, POLLOUT, 0};
  return poll(&p, 1, 0) >= 0 && !(p.revents & (POLLERR | POLLHUP));
}

bool LoopbackServer::Connection::Send(const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    if (Ending()) return false;
    pollfd p{fd_, POLLOUT, 0};
    if (poll(&p, 1, kPollMs) == 0) continue;
    ssize_t n = send(fd_, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

bool LoopbackServer::Connection::Pause(int ms) {
  for (int waited = 0; waited < ms; waited += kPollMs) {
    if (!Alive()) return false;
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::min(kPollMs, ms - waited)));
  }
  return true;
}

bool LoopbackServer::Connection::Trickle(const std::string& data,
                                         size_t piece_bytes, int pause_ms) {
  for (size_t at = 0; at < data.size(); at += piece_bytes) {
    if (!Send(data.substr(at, piece_bytes)) || !Pause(pause_ms)) return false;
  }
  return true;
}

std::string LoopbackServer::Connection::Receive(size_t bytes) {
  std::string data;
  char buffer[4096];
  while (data.size() < bytes && !Ending() && WaitReadable(fd_, kIdleClientMs)) {
    const ssize_t got =
        recv(fd_, buffer, std::min(sizeof(buffer), bytes - data.size()), 0);
    if (got <= 0) break;
    data.append(buffer, static_cast<size_t>(got));
  }
  return data;
}

void LoopbackServer::Connection::AwaitClose() {
  char byte;
  while (!Ending()) {
    if (WaitReadable(fd_, kPollMs) && recv(fd_, &byte, 1, 0) <= 0) return;
  }
}

LoopbackServer::LoopbackServer(Reply reply, int max_connections,
                               int lifetime_ms)
    : reply_(std::move(reply)),
      max_connections_(max_connections),
      deadline_(std::chrono::steady_clock::now() +
                std::chrono::milliseconds(lifetime_ms)) {
  listener_ = ListenOnLoopback(&port_);
  thread_ = std::thread([this] { Run(); });
}

LoopbackServer::~LoopbackServer() {
  Stop();
  if (listener_ >= 0) close(listener_);
}

void LoopbackServer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool LoopbackServer::Ending() const {
  return stop_ || std::chrono::steady_clock::now() > deadline_;
}

void LoopbackServer::Run() {
  while (listener_ >= 0 && connections_ < max_connections_ && !Ending()) {
    if (!WaitReadable(listener_, kPollMs)) continue;
    const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    const int number = ++connections_;
    clients_.emplace_back([this, client, number] {
      Connection connection(client, number, *this, ReadHead(client));
      reply_(connection);
      shutdown(client, SHUT_WR);
      close(client);
    });
  }
  for (std::thread& client : clients_) client.join();
}

}  // namespace kivo::loopback
