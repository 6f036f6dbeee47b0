#include "desktop/shell/qt_desktop_services.h"

#include <sys/stat.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QUrl>

#include "desktop/shell/display_text.h"
#include "desktop/shell/download.h"

namespace kivo::desktop {

bool QtDesktopServices::SetClipboardText(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  clipboard->setText(DisplayText(text));
  return true;
}

bool QtDesktopServices::OpenUrl(const std::string& url) {
  const QUrl address(DisplayText(url));
  return address.isValid() && QDesktopServices::openUrl(address);
}

bool QtDesktopServices::MoveToTrash(const std::string& path) {
  // Only files go to the trash: an address, a folder or a missing name fails.
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0 ||
      !S_ISREG(info.st_mode)) {
    return false;
  }
  return QFile::moveToTrash(PathFromBytes(path));
}

bool QtDesktopServices::DownloadToFile(const std::string& url,
                                       const std::string& path) {
  return DownloadUrlToFile(url, path);
}

}  // namespace kivo::desktop
