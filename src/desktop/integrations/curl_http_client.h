#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/platform/http_client.h"

namespace kivo::desktop {

struct HttpTimeouts {
  long connect_ms = 10000;
  long total_ms = 30000;
};

// HttpClient over libcurl. Each request runs on an easy handle of its own, so
// any number of threads may call at once; only the cookie store is shared,
// through a curl share handle under its own locks. Redirects are not
// followed: a 3xx reply comes back as it is (a followed POST would turn into a
// GET and lose its form body).
class CurlHttpClient : public HttpClient {
 public:
  explicit CurlHttpClient(HttpTimeouts timeouts = {});
  ~CurlHttpClient() override;
  CurlHttpClient(const CurlHttpClient&) = delete;
  CurlHttpClient& operator=(const CurlHttpClient&) = delete;

  HttpResponse Get(const std::string& url,
                   const std::optional<HttpProxy>& proxy) override;
  HttpResponse PostForm(const std::string& url, const std::string& body,
                        const std::optional<HttpProxy>& proxy) override;

 private:
  struct CookieShare;

  HttpResponse Perform(const std::string& url, const std::string* form_body,
                       const std::optional<HttpProxy>& proxy);

  HttpTimeouts timeouts_;
  std::unique_ptr<CookieShare> cookies_;
};

}  // namespace kivo::desktop
