#include "desktop/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace kivo::desktop::testing {
namespace {

constexpr int kLifetimeMs = 20000;
constexpr int kPollMs = 50;

std::string RequestPath(const std::string& request) {
  const size_t start = request.find(' ');
  const size_t end = request.find(' ', start + 1);
  if (start == std::string::npos || end == std::string::npos) return {};
  return request.substr(start + 1, end - start - 1);
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::map<std::string, Response> routes,
                                       int max_requests)
    : routes_(std::move(routes)) {
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof(address);
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listen_fd_, 8) != 0 ||
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) !=
          0) {
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this, max_requests] { Serve(max_requests); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  close(listen_fd_);
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackHttpServer::Serve(int max_requests) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kLifetimeMs);
  int served = 0;
  while (!stop_ && served < max_requests &&
         std::chrono::steady_clock::now() < deadline) {
    pollfd waiting{listen_fd_, POLLIN, 0};
    if (poll(&waiting, 1, kPollMs) <= 0) continue;
    const int client = accept(listen_fd_, nullptr, nullptr);
    if (client < 0) continue;
    Answer(client);
    close(client);
    ++served;
  }
}

void LoopbackHttpServer::Answer(int client) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    pollfd waiting{client, POLLIN, 0};
    if (poll(&waiting, 1, 5000) <= 0) return;
    const ssize_t got = recv(client, buffer, sizeof(buffer), 0);
    if (got <= 0) return;
    request.append(buffer, static_cast<size_t>(got));
  }
  const auto route = routes_.find(RequestPath(request));
  const Response response = route != routes_.end()
                                ? route->second
                                : Response{"404 Not Found", "", ""};
  const std::string reply =
      "HTTP/1.0 " + response.status +
      "\r\nContent-Length: " + std::to_string(response.body.size()) + "\r\n" +
      response.headers + "\r\n" + response.body;
  send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
}

}  // namespace kivo::desktop::testing
