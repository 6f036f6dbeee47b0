#include "engine/radio_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace kivo::engine::test {

namespace {

constexpr int kLifetimeMs = 30000;

bool SendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

std::string ReadHead(int fd) {
  std::string head;
  char c;
  while (head.size() < 8192 && head.find("\r\n\r\n") == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 2000) <= 0 || recv(fd, &c, 1, 0) != 1) break;
    head += c;
  }
  return head;
}

}  // namespace

RadioServer::RadioServer(Script script) : script_(std::move(script)) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  listen(listener_, 4);
  socklen_t length = sizeof(address);
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
}

RadioServer::~RadioServer() {
  Stop();
  close(listener_);
}

void RadioServer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::string RadioServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> RadioServer::Requests() {
  std::lock_guard lock(requests_mutex_);
  return requests_;
}

void RadioServer::Run() {
  auto end =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kLifetimeMs);
  for (int served = 0; served < script_.max_requests && !stop_;) {
    if (std::chrono::steady_clock::now() > end) return;
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    int client = accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    Serve(client);
    close(client);
    ++served;
  }
}

void RadioServer::Serve(int client) {
  std::string head = ReadHead(client);
  {
    std::lock_guard lock(requests_mutex_);
    requests_.push_back(head);
  }
  std::string target = head.substr(0, head.find("\r\n"));
  bool absolute = target.find(" http://") != std::string::npos;
  if (script_.proxy != absolute) {
    SendAll(client, "HTTP/1.0 403 Forbidden\r\n\r\n");
    return;
  }
  if (script_.redirect && target.find(" /old ") != std::string::npos) {
    SendAll(client, "HTTP/1.0 302 Found\r\nLocation: " + Url() +
                        "\r\nContent-Length: 0\r\n\r\n");
    return;
  }
  std::string reply = "ICY 200 OK\r\nContent-Type: audio/mpeg\r\n";
  if (!script_.metaint_header.empty()) {
    reply += "icy-metaint: " + script_.metaint_header + "\r\n";
  } else if (script_.metaint > 0) {
    reply += "icy-metaint: " + std::to_string(script_.metaint) + "\r\n";
  }
  if (SendAll(client, reply + "\r\n")) SendBody(client);
}

std::string RadioServer::MetaBlock(size_t index) const {
  if (script_.oversized_meta && index == 0) {
    std::string text = "StreamTitle='Big';";
    text.resize(255 * 16, 'x');
    return std::string(1, static_cast<char>(255)) + text;
  }
  if (index >= script_.titles.size() || script_.titles[index].empty()) {
    return std::string(1, '\0');
  }
  std::string text =
      "StreamTitle='" + script_.titles[index] + "';StreamUrl='';";
  size_t blocks = (text.size() + 15) / 16;
  text.resize(blocks * 16, '\0');
  return std::string(1, static_cast<char>(blocks)) + text;
}

bool RadioServer::SendBody(int client) {
  const std::string& audio = script_.audio;
  size_t step = script_.metaint > 0 ? script_.metaint : 4096;
  size_t block = 0;
  for (size_t at = 0; at < audio.size() && !stop_; at += step) {
    size_t length = std::min(step, audio.size() - at);
    if (script_.drop_after > 0 && at + length > script_.drop_after) {
      SendAll(client, audio.substr(at, script_.drop_after - at));
      return false;
    }
    if (!SendAll(client, audio.substr(at, length))) return false;
    if (script_.metaint > 0 && length == step &&
        !SendAll(client, MetaBlock(block++))) {
      return false;
    }
    if (script_.chunk_pause_ms > 0) {
      std::this_thread::sleep_for(
          std::chrono::milliseconds(script_.chunk_pause_ms));
    }
    if (script_.stall_after > 0 && at < script_.stall_after &&
        at + length >= script_.stall_after) {
      std::this_thread::sleep_for(std::chrono::milliseconds(script_.stall_ms));
    }
  }
  return true;
}

}  // namespace kivo::engine::test
