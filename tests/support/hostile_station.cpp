#include "support/hostile_station.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace kivo::loopback {

namespace {

bool Accepting(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  bool ok =
      connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  close(fd);
  return ok;
}

bool RunQuietly(const std::vector<std::string>& arguments) {
  std::string command;
  for (const std::string& argument : arguments) command += argument + " ";
  return std::system((command + ">/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

std::string IcyBody(const std::string& audio, size_t metaint,
                    const std::vector<std::string>& blocks) {
  std::string body;
  for (size_t at = 0, n = 0; at < audio.size(); at += metaint, ++n) {
    body += audio.substr(at, metaint);
    if (at + metaint > audio.size()) break;  // blocks follow whole intervals
    std::string text = blocks[n % blocks.size()].substr(0, 255 * 16);
    size_t length = (text.size() + 15) / 16;
    text.resize(length * 16, '\0');
    body += static_cast<char>(length);
    body += text;
  }
  return body;
}

SelfSignedTlsServer::SelfSignedTlsServer(const std::string& folder) {
  std::string key = folder + "/tls.key";
  std::string certificate = folder + "/tls.crt";
  if (!RunQuietly({"openssl req -x509 -newkey rsa:2048 -nodes -days 1",
                   "-subj /CN=127.0.0.1 -keyout", key, "-out", certificate})) {
    return;
  }
  int listener = ListenOnLoopback(&port_);
  close(listener);  // s_server takes the port the system just gave out
  pid_ = fork();
  if (pid_ == 0) {
    int null_fd = open("/dev/null", O_RDWR);
    dup2(null_fd, 0);
    dup2(null_fd, 1);
    dup2(null_fd, 2);
    std::string accept = "127.0.0.1:" + std::to_string(port_);
    execlp("openssl", "openssl", "s_server", "-accept", accept.c_str(), "-cert",
           certificate.c_str(), "-key", key.c_str(), "-www", "-quiet",
           static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int tries = 0; tries < 100 && !ready_ && pid_ > 0; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ready_ = Accepting(port_);
  }
}

SelfSignedTlsServer::~SelfSignedTlsServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

std::string SelfSignedTlsServer::Url() const {
  return "https://127.0.0.1:" + std::to_string(port_) + "/stream";
}

}  // namespace kivo::loopback
