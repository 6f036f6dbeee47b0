#include "desktop/shell/download.h"

#include <curl/curl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace kivo::desktop {
namespace {

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
  return std::fwrite(data, size, count, static_cast<std::FILE*>(file)) * size;
}

bool Transfer(const std::string& url, std::FILE* file,
              const DownloadLimits& limits) {
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return false;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT,
                   limits.connect_timeout_seconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.total_timeout_seconds);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kivo Player v1.31");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, file);
  const CURLcode result = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return result == CURLE_OK;
}

}  // namespace

bool DownloadUrlToFile(const std::string& url, const std::string& path,
                       const DownloadLimits& limits) {
  if (url.empty() || path.empty()) return false;
  InitCurlOnce();
  std::string temp_name = path + ".part-XXXXXX";
  std::vector<char> name_buffer(temp_name.begin(), temp_name.end());
  name_buffer.push_back('\0');
  const int fd = mkstemp(name_buffer.data());
  if (fd < 0) return false;
  temp_name = name_buffer.data();
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    close(fd);
    std::remove(temp_name.c_str());
    return false;
  }
  bool ok = Transfer(url, file, limits);
  ok = (std::fflush(file) == 0) && ok;
  ok = (fsync(fileno(file)) == 0) && ok;
  ok = (std::fclose(file) == 0) && ok;
  if (ok && std::rename(temp_name.c_str(), path.c_str()) == 0) return true;
  std::remove(temp_name.c_str());
  return false;
}

}  // namespace kivo::desktop
