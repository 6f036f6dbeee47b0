#include "desktop/shell/unix_instance_link.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "desktop/shell/instance_listener.h"
#include "desktop/shell/unix_socket_util.h"

namespace kivo::desktop {
namespace {

// A running instance that has not taken a hand-off by then is busy.
constexpr int kBusyNoticeMs = 3000;
constexpr int kListenBacklog = 16;

std::string HashText(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (char c : text) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  char hex[17];
  std::snprintf(hex, sizeof(hex), "%016llx",
                static_cast<unsigned long long>(hash));
  return hex;
}

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    return std::string(runtime) + "/kivo-player";
  }
  return "/tmp/kivo-player-" + std::to_string(getuid());
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.rfind('/'));
}

std::string EncodeLength(uint64_t length) {
  std::string header(8, '\0');
  for (char& byte : header) {
    byte = static_cast<char>(length & 0xFF);
    length >>= 8;
  }
  return header;
}

// Binds and listens at path; -1 on failure. The caller holds the start lock.
int BindListener(const std::string& path, struct stat* identity) {
  sockaddr_un address{};
  if (path.size() >= sizeof(address.sun_path)) return -1;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  unlink(path.c_str());  // nobody answered there: a crashed instance's file
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) !=
          0 ||
      chmod(path.c_str(), 0600) != 0 || listen(fd, kListenBacklog) != 0 ||
      lstat(path.c_str(), identity) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string InstanceSocketPath(const std::string& program_dir) {
  const std::string name = "/" + HashText(program_dir) + ".sock";
  std::string path = RuntimeFolder() + name;
  if (path.size() >= sizeof(sockaddr_un::sun_path)) {
    path = "/tmp/kivo-player-" + std::to_string(getuid()) + name;
  }
  return path;
}

UnixInstanceLink::UnixInstanceLink(const std::string& program_dir)
    : socket_path_(InstanceSocketPath(program_dir)) {}

UnixInstanceLink::~UnixInstanceLink() = default;

bool UnixInstanceLink::HandOff(const std::string& text) {
  const int fd = ConnectUnixSocket(socket_path_);
  if (fd < 0) return false;
  bool handled = false;
  if (PeerUid(fd) == static_cast<long>(getuid())) {
    // Never give up on a live instance: a start that gave up and went its
    // own way would see the files arrive twice once the first gets to them.
    const long pid = PeerPid(fd);
    PeerWait wait(fd, kBusyNoticeMs, [pid] {
      std::fprintf(stderr,
                   "kivo-player: waiting for the running Kivo Player "
                   "(process %ld) to take the hand-off; it is busy\n",
                   pid);
    });
    const std::string header = EncodeLength(text.size());
    handled = wait.SendAll(header.data(), header.size()) &&
              wait.SendAll(text.data(), text.size()) && wait.ReceiveByte();
  }
  close(fd);
  return handled;
}

bool UnixInstanceLink::Listen(Receiver on_text, ReleaseWhen release_when) {
  if (listener_) return true;
  const std::string folder = FolderOf(socket_path_);
  if (!PrepareOwnerOnlyFolder(folder)) return false;
  // Two instances starting together must not both take the socket over.
  const std::string lock_path = socket_path_ + ".lock";
  const int lock_fd =
      open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd < 0 || flock(lock_fd, LOCK_EX) != 0) {
    if (lock_fd >= 0) close(lock_fd);
    return false;
  }
  bool listening = false;
  const int probe = ConnectUnixSocket(socket_path_);
  if (probe >= 0) {
    close(probe);  // a live instance answered
  } else {
    struct stat identity {};
    const int fd = BindListener(socket_path_, &identity);
    if (fd >= 0) {
      listener_ = std::make_unique<InstanceListener>(
          fd, socket_path_, identity.st_dev, identity.st_ino,
          std::move(on_text), std::move(release_when));
      listening = true;
    }
  }
  flock(lock_fd, LOCK_UN);
  close(lock_fd);
  return listening;
}

}  // namespace kivo::desktop
