#include "engine/hostile_station.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace kivo::engine::test {

namespace {

constexpr size_t kMaxHeadBytes = 8192;
constexpr int kPollMs = 20;

std::string ReadHead(int fd) {
  std::string head;
  char c;
  while (head.size() < kMaxHeadBytes &&
         head.find("\r\n\r\n") == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 2000) <= 0 || recv(fd, &c, 1, 0) != 1) break;
    head += c;
  }
  return head;
}

// A loopback listener on a port the system picks.
int Listen(int* port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  listen(fd, 8);
  socklen_t length = sizeof(address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return fd;
}

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

bool HostileStation::Connection::Alive() const {
  if (station_.Ending()) return false;
  pollfd p{fd_, POLLOUT, 0};
  return poll(&p, 1, 0) >= 0 && !(p.revents & (POLLERR | POLLHUP));
}

bool HostileStation::Connection::Send(const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    if (station_.Ending()) return false;
    pollfd p{fd_, POLLOUT, 0};
    if (poll(&p, 1, kPollMs) == 0) continue;
    ssize_t n = send(fd_, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

bool HostileStation::Connection::Trickle(const std::string& data,
                                         size_t piece_bytes, int pause_ms) {
  for (size_t at = 0; at < data.size(); at += piece_bytes) {
    if (!Send(data.substr(at, piece_bytes))) return false;
    for (int waited = 0; waited < pause_ms; waited += kPollMs) {
      if (!Alive()) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
  }
  return true;
}

HostileStation::HostileStation(Reply reply, int max_requests, int lifetime_ms)
    : reply_(std::move(reply)),
      max_requests_(max_requests),
      deadline_(std::chrono::steady_clock::now() +
                std::chrono::milliseconds(lifetime_ms)) {
  listener_ = Listen(&port_);
  thread_ = std::thread([this] { Run(); });
}

HostileStation::~HostileStation() {
  Stop();
  close(listener_);
}

void HostileStation::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::string HostileStation::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool HostileStation::Ending() const {
  return stop_ || std::chrono::steady_clock::now() > deadline_;
}

void HostileStation::Run() {
  while (requests_ < max_requests_ && !Ending()) {
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, kPollMs) <= 0) continue;
    int client = accept(listener_, nullptr, nullptr);
    if (client < 0) continue;
    ++requests_;
    clients_.emplace_back([this, client] {
      Connection connection(client, *this, ReadHead(client));
      reply_(connection);
      shutdown(client, SHUT_WR);
      close(client);
    });
  }
  for (std::thread& client : clients_) client.join();
}

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
  int listener = Listen(&port_);
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

}  // namespace kivo::engine::test
