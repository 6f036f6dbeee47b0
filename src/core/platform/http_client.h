#pragma once

#include <optional>
#include <string>

namespace kivo {

struct HttpProxy {
  std::string host;
  int port = 0;
  std::string user;
  std::string password;
};

struct HttpResponse {
  bool ok = false;  // a reply arrived (any status)
  int status = 0;
  std::string body;
  std::string error;  // why no reply arrived
};

// HTTP/1.1 with the fixed headers Accept "text/html, */*" and User-Agent
// "Mozilla/3.0 (compatible; Indy Library)", cookies kept for the session,
// bounded time-outs. Thread-safe: every request uses a connection of its own,
// so workers may call it at the same time.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual HttpResponse Get(const std::string& url,
                           const std::optional<HttpProxy>& proxy) = 0;
  // Body sent as application/x-www-form-urlencoded.
  virtual HttpResponse PostForm(const std::string& url, const std::string& body,
                                const std::optional<HttpProxy>& proxy) = 0;
};

}  // namespace kivo
