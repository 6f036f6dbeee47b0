#pragma once

#include <string>

namespace kivo::desktop {

struct DownloadLimits {
  long connect_timeout_seconds = 10;
  long total_timeout_seconds = 30;
};

// Fetches url (http, https or ftp; redirects followed) into path. The body is
// written to a temporary file beside path and renamed over it only when the
// whole transfer succeeded, so a failure leaves path as it was. HTTP errors
// (status 400 and above) fail. Blocks for at most the limits.
bool DownloadUrlToFile(const std::string& url, const std::string& path,
                       const DownloadLimits& limits = {});

}  // namespace kivo::desktop
