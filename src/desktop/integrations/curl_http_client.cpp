#include "desktop/integrations/curl_http_client.h"

#include <curl/curl.h>

#include <array>
#include <mutex>

namespace kivo::desktop {
namespace {

constexpr const char* kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";
// A reply larger than this is not a Last.fm answer; stop reading it.
constexpr size_t kMaxBodyBytes = 16 * 1024 * 1024;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

size_t AppendBody(char* data, size_t size, size_t count, void* user) {
  auto* body = static_cast<std::string*>(user);
  const size_t length_bytes = size * count;
  if (body->size() + length_bytes > kMaxBodyBytes) return 0;
  body->append(data, length_bytes);
  return length_bytes;
}

HeaderList BuildHeaders(bool form) {
  curl_slist* list = curl_slist_append(nullptr, "Accept: text/html, */*");
  // curl would otherwise hold a larger body back waiting for "100 Continue".
  list = curl_slist_append(list, "Expect:");
  if (form) {
    list = curl_slist_append(list,
                             "Content-Type: application/x-www-form-urlencoded");
  }
  return HeaderList(list);
}

void ApplyProxy(CURL* easy, const std::optional<HttpProxy>& proxy) {
  if (!proxy || proxy->host.empty()) {
    // An empty proxy also keeps curl from taking one from the environment.
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    return;
  }
  curl_easy_setopt(easy, CURLOPT_PROXY, proxy->host.c_str());
  curl_easy_setopt(easy, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
  if (proxy->port > 0) {
    curl_easy_setopt(easy, CURLOPT_PROXYPORT, static_cast<long>(proxy->port));
  }
  if (!proxy->user.empty()) {
    curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxy->user.c_str());
    curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxy->password.c_str());
    // Basic alone makes curl send the credentials with the first request.
    curl_easy_setopt(easy, CURLOPT_PROXYAUTH,
                     static_cast<long>(CURLAUTH_BASIC));
  }
}

}  // namespace

// The cookie store of one client: a share handle whose locks are ours.
struct CurlHttpClient::CookieShare {
  CookieShare() : share(curl_share_init()) {
    curl_share_setopt(share, CURLSHOPT_LOCKFUNC, &Lock);
    curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, &Unlock);
    curl_share_setopt(share, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
  ~CookieShare() { curl_share_cleanup(share); }

  static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* user) {
    static_cast<CookieShare*>(user)->MutexFor(data).lock();
  }
  static void Unlock(CURL*, curl_lock_data data, void* user) {
    static_cast<CookieShare*>(user)->MutexFor(data).unlock();
  }
  std::mutex& MutexFor(curl_lock_data data) {
    const size_t index = static_cast<size_t>(data);
    return mutexes[index < mutexes.size() ? index : 0];
  }

  CURLSH* share;
  std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes;
};

CurlHttpClient::CurlHttpClient(HttpTimeouts timeouts) : timeouts_(timeouts) {
  InitCurlOnce();
  cookies_ = std::make_unique<CookieShare>();
}

CurlHttpClient::~CurlHttpClient() = default;

HttpResponse CurlHttpClient::Get(const std::string& url,
                                 const std::optional<HttpProxy>& proxy) {
  return Perform(url, nullptr, proxy);
}

HttpResponse CurlHttpClient::PostForm(const std::string& url,
                                      const std::string& body,
                                      const std::optional<HttpProxy>& proxy) {
  return Perform(url, &body, proxy);
}

HttpResponse CurlHttpClient::Perform(const std::string& url,
                                     const std::string* form_body,
                                     const std::optional<HttpProxy>& proxy) {
  HttpResponse response;
  EasyHandle easy(curl_easy_init());
  if (!easy) {
    response.error = "could not start an HTTP request";
    return response;
  }
  CURL* handle = easy.get();
  std::array<char, CURL_ERROR_SIZE> error_text{};
  HeaderList headers = BuildHeaders(form_body != nullptr);
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION,
                   static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, timeouts_.connect_ms);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, timeouts_.total_ms);
  curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(handle, CURLOPT_SHARE, cookies_->share);
  curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");  // cookie engine, no file
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, error_text.data());
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &AppendBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &response.body);
  if (form_body != nullptr) {
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(form_body->size()));
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, form_body->data());
  }
  ApplyProxy(handle, proxy);

  const CURLcode result = curl_easy_perform(handle);
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  response.status = static_cast<int>(status);
  response.ok = result == CURLE_OK;
  if (!response.ok) {
    response.error =
        error_text[0] != '\0' ? error_text.data() : curl_easy_strerror(result);
  }
  return response;
}

}  // namespace kivo::desktop
