#include "core/util/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <random>
#include <string_view>

#include "core/util/text.h"

namespace kivo {
namespace {

std::string SystemReason(int error_number) {
  return std::strerror(error_number);
}

bool WriteAll(int fd, std::string_view content) {
  const char* data = content.data();
  size_t left = content.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void Fail(std::string* error, int error_number) {
  if (error) *error = SystemReason(error_number);
}

// The file that path names once its symbolic links are followed (a relative
// link counts from the link's own folder), so that a linked settings.ini or
// playlist is replaced where it really lives and the link stays. 0 or ELOOP.
int FollowLinks(const std::string& path, std::string* target) {
  constexpr int kMaxLinks = 40;  // the kernel's own limit
  std::string current = path;
  for (int hop = 0; hop <= kMaxLinks; ++hop) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      *target = current;
      return 0;
    }
    std::string link(static_cast<size_t>(info.st_size) + 256, '\0');
    ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
    if (length < 0) return errno;
    link.resize(static_cast<size_t>(length));
    current = StartsWith(link, "/") ? link : FolderOf(current) + "/" + link;
  }
  return ELOOP;
}

// A file the user made read-only stays as it is. The rename would need only
// the folder's permission, and root may write anything; a file without any
// write bit is read-only for root too.
int RefusedWrite(const std::string& file, const struct stat& info) {
  if ((info.st_mode & 0222) == 0) return EACCES;
  if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0) return errno;
  return 0;
}

// Where the new content goes and with which mode (an existing file keeps
// its own); an errno when the write must not happen.
int TargetOf(const std::string& path, std::string* target, mode_t* mode) {
  int link_error = FollowLinks(path, target);
  if (link_error != 0) return link_error;
  struct stat info {};
  if (::stat(target->c_str(), &info) != 0) return 0;
  if (S_ISREG(info.st_mode)) {
    if (int refused = RefusedWrite(*target, info)) return refused;
  }
  *mode = info.st_mode & 07777;
  return 0;
}

// A temporary's name starts with the name of the file it replaces, so a
// write removes only what an earlier write of the same file left behind (a
// kill between creating and renaming it), never another file's temporary.
std::string TempPrefixOf(const std::string& target) {
  return FolderOf(target) + "/." + target.substr(target.rfind('/') + 1) +
         ".kivo-";
}

// What earlier versions named their temporaries, tied to no file.
constexpr std::string_view kEarlierTempPrefix = ".kivo-write-";

void RemoveLeftovers(const std::string& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const std::string own = prefix.substr(prefix.rfind('/') + 1);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (StartsWith(name, own) || StartsWith(name, kEarlierTempPrefix)) {
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

// Writes content to fd, sets its mode, flushes it to disk; 0 or an errno.
int Fill(int fd, std::string_view content, mode_t mode) {
  if (!WriteAll(fd, content) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
    return errno;
  }
  return 0;
}

int CloseKeepingError(int fd, int result) {
  if (::close(fd) != 0 && result == 0) return errno;
  return result;
}

constexpr int kNoUnnamedFiles = -1;

// Gives the complete unnamed file fd a fresh name beginning with prefix.
int NameUnnamed(int fd, const std::string& prefix, std::string* temp) {
  const std::string proc_path = "/proc/self/fd/" + std::to_string(fd);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = prefix + std::to_string(random());
    if (::linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, name.c_str(),
                 AT_SYMLINK_FOLLOW) == 0) {
      *temp = std::move(name);
      return 0;
    }
    if (errno != EEXIST) break;
  }
  return kNoUnnamedFiles;
}

// The content goes to a file without a name that is named only when it is
// complete and on disk, right before the rename: a kill while writing leaves
// nothing behind. kNoUnnamedFiles where the file system or /proc cannot.
int WriteUnnamed(const std::string& folder, const std::string& prefix,
                 std::string_view content, mode_t mode, std::string* temp) {
  int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) return kNoUnnamedFiles;
  int result = Fill(fd, content, mode);
  if (result == 0) result = NameUnnamed(fd, prefix, temp);
  return CloseKeepingError(fd, result);
}

int WriteNamed(const std::string& prefix, std::string_view content, mode_t mode,
               std::string* temp) {
  std::string name = prefix + "XXXXXX";
  int fd = ::mkstemp(name.data());
  if (fd < 0) return errno;
  *temp = std::move(name);
  return CloseKeepingError(fd, Fill(fd, content, mode));
}

// Makes the rename itself survive a power cut; a file system that cannot
// sync a folder has nothing to lose here.
void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

namespace {

// Hands the file's size, then each block of it in order, to the callbacks;
// false when it cannot be opened or read.
bool ReadBlocks(const std::string& path, std::string* error,
                const std::function<void(size_t)>& on_size,
                const std::function<void(std::string_view)>& on_block) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    Fail(error, errno);
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    Fail(error, EISDIR);
    return false;
  }
  if (info.st_size > 0) on_size(static_cast<size_t>(info.st_size));
  char buffer[1 << 16];
  while (true) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail(error, errno);
      ::close(fd);
      return false;
    }
    if (got == 0) break;
    on_block(std::string_view(buffer, static_cast<size_t>(got)));
  }
  ::close(fd);
  return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* content,
                   std::string* error) {
  std::string data;
  if (!ReadBlocks(
          path, error, [&data](size_t size) { data.reserve(size); },
          [&data](std::string_view block) { data.append(block); })) {
    return false;
  }
  *content = std::move(data);
  return true;
}

bool ReadFileLines(const std::string& path, const ExpectLines& expect,
                   const std::function<void(std::string_view line)>& on_line,
                   std::string* error) {
  size_t line_ends = 0;
  size_t bytes = 0;
  auto ignore_size = [](size_t) {};
  if (!ReadBlocks(path, error, ignore_size, [&](std::string_view block) {
        const auto lf = std::count(block.begin(), block.end(), '\n');
        const auto cr = std::count(block.begin(), block.end(), '\r');
        line_ends += static_cast<size_t>(lf);
        bytes += block.size() - static_cast<size_t>(lf + cr);
      })) {
    return false;
  }
  expect(line_ends + 1, bytes);
  LineSplitter splitter(on_line);
  if (!ReadBlocks(
          path, error, ignore_size,
          [&splitter](std::string_view block) { splitter.Feed(block); })) {
    return false;
  }
  splitter.Finish();
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view content,
                         unsigned new_file_mode, std::string* error) {
  std::string target;
  mode_t mode = static_cast<mode_t>(new_file_mode);
  int refused = TargetOf(path, &target, &mode);
  if (refused != 0) {
    Fail(error, refused);
    return false;
  }
  const std::string folder = FolderOf(target);
  const std::string temp_prefix = TempPrefixOf(target);
  RemoveLeftovers(folder, temp_prefix);
  std::string temp;
  int written = WriteUnnamed(folder, temp_prefix, content, mode, &temp);
  if (written == kNoUnnamedFiles) {
    written = WriteNamed(temp_prefix, content, mode, &temp);
  }
  if (written == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
    written = errno;
  }
  if (written != 0) {
    if (!temp.empty()) ::unlink(temp.c_str());
    Fail(error, written);
    return false;
  }
  SyncFolder(folder);
  return true;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace kivo
