#include "desktop/integrations/xdg_associations.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

#include "desktop/integrations/key_file_text.h"
#include "desktop/integrations/mime_types.h"

namespace kivo::desktop {
namespace {

constexpr const char* kDefaultsGroup = "Default Applications";
constexpr const char* kBackupGroup = "X-Kivo Player Backup";
constexpr const char* kTypesGroup = "X-Kivo Player Types";
// What earlier versions named as the handler: the launcher itself.
constexpr const char* kEarlierDesktopId = "kivo-player.desktop";
// The key a failed write of the .desktop file is reported under.
constexpr const char* kDesktopFileValue = "MimeType";

std::string HomeDir() {
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] == '/' ? home : "/";
}

// An XDG base folder: the variable when it holds an absolute path, else the
// default below the home folder.
std::string XdgDir(const char* variable, const char* below_home) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  return HomeDir() + "/" + below_home;
}

std::vector<std::string> MimeDataDirs() {
  std::vector<std::string> dirs{XdgDir("XDG_DATA_HOME", ".local/share")};
  const char* value = std::getenv("XDG_DATA_DIRS");
  std::stringstream list(value != nullptr && value[0] != '\0'
                             ? value
                             : "/usr/local/share:/usr/share");
  std::string dir;
  while (std::getline(list, dir, ':')) {
    if (!dir.empty() && dir[0] == '/') dirs.push_back(dir);
  }
  return dirs;
}

std::string ApplicationsDir() {
  return XdgDir("XDG_DATA_HOME", ".local/share") + "/applications";
}

std::string MimeAppsListPath() {
  return XdgDir("XDG_CONFIG_HOME", ".config") + "/mimeapps.list";
}

std::vector<std::string> MimeTypesOf(const std::string& type_name) {
  std::string extension = "." + type_name;
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return MimeTypesForExtension(extension, MimeDataDirs());
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// QSaveFile syncs the file but not the folder that names it: without this a
// power cut could undo the switch (or keep the old list) after we reported it.
void SyncFolder(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(),
                        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// QSaveFile names its temporary "<file>.XXXXXX" only for the moment between
// linking and renaming it; a kill in that moment leaves it behind. One older
// than a minute is nobody's write in flight (another program's QSaveFile of
// mimeapps.list uses the same names), so the next write takes it away.
void RemoveStaleTemporaries(const QString& folder, const QString& file_name) {
  constexpr int kInFlightSeconds = 60;
  const QDateTime stale_before =
      QDateTime::currentDateTimeUtc().addSecs(-kInFlightSeconds);
  const QString pattern = file_name + QStringLiteral(".??????");
  const QFileInfoList found = QDir(folder).entryInfoList(
      {pattern}, QDir::Files | QDir::Hidden | QDir::System);
  for (const QFileInfo& temporary : found) {
    if (temporary.lastModified().toUTC() < stale_before) {
      QFile::remove(temporary.absoluteFilePath());
    }
  }
}

bool WriteFileAtomically(const std::string& path, const std::string& text) {
  const QString name = QString::fromStdString(path);
  const QString folder = QFileInfo(name).absolutePath();
  if (!QDir().mkpath(folder)) return false;
  RemoveStaleTemporaries(folder, QFileInfo(name).fileName());
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const auto size = static_cast<qint64>(text.size());
  if (file.write(text.data(), size) != size || !file.commit()) return false;
  SyncFolder(folder);
  return true;
}

std::string FirstEntry(const std::optional<std::string>& value) {
  if (!value) return {};
  return value->substr(0, value->find(';'));
}

std::vector<std::string> SplitNames(const std::optional<std::string>& value) {
  std::vector<std::string> names;
  std::stringstream list(value.value_or(""));
  std::string name;
  while (std::getline(list, name, ';')) {
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

std::string JoinNames(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += name + ";";
  return joined;
}

bool Fail(std::string* failed_value, const std::string& value_name) {
  if (failed_value != nullptr) *failed_value = value_name;
  return false;
}

// Names us the default of mime_type for type_name; the handler before us is
// kept in the backup group, once.
void TakeMimeType(KeyFileText* list, const std::string& mime_type,
                  const std::string& type_name) {
  std::vector<std::string> names =
      SplitNames(list->Value(kTypesGroup, mime_type));
  const auto current = list->Value(kDefaultsGroup, mime_type);
  const std::string first = FirstEntry(current);
  const bool ours = first == XdgAssociations::kDesktopId ||
                    (first == kEarlierDesktopId && !names.empty());
  list->Set(kDefaultsGroup, mime_type, XdgAssociations::kDesktopId);
  // A type that is ours already keeps the backup of the handler before us.
  if (!ours || !list->Value(kBackupGroup, mime_type)) {
    list->Set(kBackupGroup, mime_type, ours ? "" : current.value_or(""));
  }
  if (std::find(names.begin(), names.end(), type_name) == names.end()) {
    names.push_back(type_name);
  }
  list->Set(kTypesGroup, mime_type, JoinNames(names));
}

// Gives mime_type back to the handler before us once the last of our types
// holding it lets go. False when the list stays as it was.
bool GiveBackMimeType(KeyFileText* list, const std::string& mime_type,
                      const std::string& type_name) {
  std::vector<std::string> names =
      SplitNames(list->Value(kTypesGroup, mime_type));
  const auto backup = list->Value(kBackupGroup, mime_type);
  const auto held = std::find(names.begin(), names.end(), type_name);
  // Never ours, or still held by another of our types sharing the MIME type.
  if (held == names.end() && (!names.empty() || !backup)) return false;
  if (held != names.end()) names.erase(held);
  if (!names.empty()) {
    list->Set(kTypesGroup, mime_type, JoinNames(names));
    return true;
  }
  list->Remove(kTypesGroup, mime_type);
  list->Remove(kBackupGroup, mime_type);
  // A default another program has taken since is left as it is.
  const std::string first = FirstEntry(list->Value(kDefaultsGroup, mime_type));
  if (first == XdgAssociations::kDesktopId || first == kEarlierDesktopId) {
    if (backup && !backup->empty()) {
      list->Set(kDefaultsGroup, mime_type, *backup);
    } else {
      list->Remove(kDefaultsGroup, mime_type);
    }
  }
  return true;
}

// Lets menus and "Open With" lists that read mimeinfo.cache see the change;
// desktops without the tool read the .desktop files themselves.
void NotifyDesktop() {
  const QString tool =
      QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
  if (tool.isEmpty()) return;
  QProcess::startDetached(tool, {QString::fromStdString(ApplicationsDir())});
}

}  // namespace

std::string DesktopExecLine(const std::string& program_path) {
  // Desktop entries quote an argument with reserved characters and escape
  // four of them inside the quotes with a backslash; the value's own escaping
  // then doubles every backslash, and a literal % is written %%.
  std::string argument;
  for (char c : program_path) {
    switch (c) {
      case '"':
      case '`':
      case '$':
        argument += "\\\\";
        argument += c;
        break;
      case '\\':
        argument += "\\\\\\\\";
        break;
      case '%':
        argument += "%%";
        break;
      case '\n':
        argument += "\\n";
        break;
      default:
        argument += c;
    }
  }
  if (program_path.find_first_of(" \t\n\"'\\><~|&;$*?#()`") !=
      std::string::npos) {
    argument = "\"" + argument + "\"";
  }
  return argument + " %f";
}

XdgAssociations::XdgAssociations(std::string program_path)
    : program_path_(std::move(program_path)) {}

bool XdgAssociations::Register(const std::string& type_name,
                               std::string* failed_value) {
  const std::vector<std::string> mime_types = MimeTypesOf(type_name);
  if (mime_types.empty()) return Fail(failed_value, type_name);
  const std::string list_path = MimeAppsListPath();
  KeyFileText list(ReadFile(list_path));
  for (const std::string& mime_type : mime_types) {
    TakeMimeType(&list, mime_type, type_name);
  }
  // Our entry first: the list never names a handler that is not there.
  if (!WriteDesktopFile(list.Keys(kTypesGroup))) {
    return Fail(failed_value, kDesktopFileValue);
  }
  if (!WriteFileAtomically(list_path, list.Text())) {
    return Fail(failed_value, mime_types.front());
  }
  NotifyDesktop();
  return true;
}

bool XdgAssociations::Restore(const std::string& type_name,
                              std::string* failed_value) {
  const std::vector<std::string> mime_types = MimeTypesOf(type_name);
  const std::string list_path = MimeAppsListPath();
  KeyFileText list(ReadFile(list_path));
  bool changed = false;
  for (const std::string& mime_type : mime_types) {
    changed = GiveBackMimeType(&list, mime_type, type_name) || changed;
  }
  if (!changed) return true;
  list.RemoveGroupIfEmpty(kTypesGroup);
  list.RemoveGroupIfEmpty(kBackupGroup);
  if (!WriteFileAtomically(list_path, list.Text())) {
    return Fail(failed_value, mime_types.front());
  }
  if (!WriteDesktopFile(list.Keys(kTypesGroup))) {
    return Fail(failed_value, kDesktopFileValue);
  }
  NotifyDesktop();
  return true;
}

bool XdgAssociations::WriteDesktopFile(
    const std::vector<std::string>& mime_types) const {
  const std::string path = ApplicationsDir() + "/" + kDesktopId;
  if (mime_types.empty()) {
    const QString name = QString::fromStdString(path);
    return !QFile::exists(name) || QFile::remove(name);
  }
  // Hidden from menus: the installed launcher is the one a user starts; this
  // entry only opens the files of the types turned on.
  const std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Kivo Player\n"
      "GenericName=Audio Player\n"
      "Exec=" +
      DesktopExecLine(program_path_) +
      "\n"
      "Icon=kivo-player\n"
      "Terminal=false\n"
      "NoDisplay=true\n"
      "MimeType=" +
      JoinNames(mime_types) + "\n";
  return WriteFileAtomically(path, text);
}

}  // namespace kivo::desktop
