#pragma once

#include "core/platform/desktop_services.h"

namespace kivo::desktop {

// Clipboard, web pages and the freedesktop trash through Qt; downloads
// through libcurl. GUI thread only.
class QtDesktopServices final : public DesktopServices {
 public:
  bool SetClipboardText(const std::string& text) override;
  bool OpenUrl(const std::string& url) override;
  bool MoveToTrash(const std::string& path) override;
  bool DownloadToFile(const std::string& url, const std::string& path) override;
};

}  // namespace kivo::desktop
