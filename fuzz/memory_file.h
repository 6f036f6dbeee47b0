// Fuzz input as a file that lives only in memory: the decoders under test open
// paths, and a memfd gives them one without touching the disk.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace kivo::fuzz {

class MemoryFile {
 public:
  MemoryFile(const uint8_t* data, size_t size)
      : fd_(memfd_create("kivo-fuzz", MFD_CLOEXEC)) {
    for (size_t at = 0; fd_ >= 0 && at < size;) {
      ssize_t written = write(fd_, data + at, size - at);
      if (written <= 0) break;
      at += static_cast<size_t>(written);
    }
  }
  ~MemoryFile() {
    if (fd_ >= 0) close(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

}  // namespace kivo::fuzz
