#pragma once

#include <string>

namespace kivo {

// Small services of the desktop session. GUI thread only; DownloadToFile
// blocks until the download has ended.
class DesktopServices {
 public:
  virtual ~DesktopServices() = default;
  virtual bool SetClipboardText(const std::string& text) = 0;
  virtual bool OpenUrl(const std::string& url) = 0;
  // Into the freedesktop trash; false when the file is not there or the move
  // failed.
  virtual bool MoveToTrash(const std::string& path) = 0;
  virtual bool DownloadToFile(const std::string& url,
                              const std::string& path) = 0;
};

}  // namespace kivo
