#include "core/util/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* content,
                   std::string* error) {
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
  std::string data;
  if (info.st_size > 0) data.reserve(static_cast<size_t>(info.st_size));
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
    data.append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  *content = std::move(data);
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view content,
                         unsigned new_file_mode, std::string* error) {
  struct stat old_info {};
  mode_t mode = static_cast<mode_t>(new_file_mode);
  if (::stat(path.c_str(), &old_info) == 0) mode = old_info.st_mode & 07777;

  std::string temp = FolderOf(path) + "/.kivo-write-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    Fail(error, errno);
    return false;
  }
  bool ok = WriteAll(fd, content) && ::fchmod(fd, mode) == 0 &&
            ::fsync(fd) == 0;
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    saved = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    Fail(error, saved);
  }
  return ok;
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
