#include "desktop/loopback_http_server.h"

namespace kivo::desktop::testing {
namespace {

constexpr int kLifetimeMs = 20000;

}  // namespace

LoopbackHttpServer::LoopbackHttpServer(std::map<std::string, Response> routes,
                                       int max_requests)
    : routes_(std::move(routes)),
      server_(
          [this](loopback::LoopbackServer::Connection& client) {
            Answer(client);
          },
          max_requests, kLifetimeMs) {}

void LoopbackHttpServer::Answer(
    loopback::LoopbackServer::Connection& client) const {
  if (client.head().find("\r\n\r\n") == std::string::npos) return;
  const auto route = routes_.find(loopback::RequestTarget(client.head()));
  const Response response = route != routes_.end()
                                ? route->second
                                : Response{"404 Not Found", "", ""};
  client.Send("HTTP/1.0 " + response.status +
              "\r\nContent-Length: " + std::to_string(response.body.size()) +
              "\r\n" + response.headers + "\r\n" + response.body);
}

}  // namespace kivo::desktop::testing
