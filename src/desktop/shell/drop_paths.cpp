#include "desktop/shell/drop_paths.h"

#include <QList>
#include <QMimeData>
#include <QSysInfo>
#include <QUrl>

#include "desktop/shell/display_text.h"

namespace kivo::desktop {
namespace {

bool IsLocalHost(const QByteArray& host) {
  return host.isEmpty() ||
         host.compare("localhost", Qt::CaseInsensitive) == 0 ||
         host == QSysInfo::machineHostName().toUtf8();
}

// The path of one "file:" URL; empty when the line names no local file.
QByteArray LocalPathOf(QByteArray line) {
  line = line.trimmed();
  const QByteArray scheme = "file:";
  if (line.size() <= scheme.size() ||
      line.left(scheme.size()).compare(scheme, Qt::CaseInsensitive) != 0) {
    return {};
  }
  QByteArray rest = line.mid(scheme.size());
  if (rest.startsWith("//")) {
    const qsizetype path_start = rest.indexOf('/', 2);
    if (path_start < 0 || !IsLocalHost(rest.mid(2, path_start - 2))) return {};
    rest = rest.mid(path_start);
  }
  for (char stop : {'?', '#'}) {
    const qsizetype end = rest.indexOf(stop);
    if (end >= 0) rest.truncate(end);
  }
  if (!rest.startsWith('/')) return {};
  return QByteArray::fromPercentEncoding(rest);
}

}  // namespace

std::vector<std::string> LocalPathsOfUriList(const QByteArray& uri_list) {
  std::vector<std::string> paths;
  for (const QByteArray& line : uri_list.split('\n')) {
    if (line.trimmed().startsWith('#')) continue;
    const QByteArray path = LocalPathOf(line);
    if (!path.isEmpty()) paths.push_back(path.toStdString());
  }
  return paths;
}

std::vector<std::string> DroppedPaths(const QMimeData& mime) {
  const QByteArray uri_list = mime.data(QStringLiteral("text/uri-list"));
  if (!uri_list.isEmpty()) return LocalPathsOfUriList(uri_list);
  std::vector<std::string> paths;
  for (const QUrl& url : mime.urls()) {
    if (url.isLocalFile()) paths.push_back(PathBytes(url.toLocalFile()));
  }
  return paths;
}

}  // namespace kivo::desktop
