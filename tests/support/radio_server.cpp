#include "support/radio_server.h"

#include <algorithm>
#include <cstdlib>

namespace kivo::loopback {

namespace {

constexpr int kPauseStepMs = 10;

}  // namespace

RadioServer::RadioServer(Script script)
    : script_(std::move(script)),
      server_([this](Connection& client) { Serve(client); },
              script_.max_requests, script_.lifetime_ms) {}

void RadioServer::Stop() { server_.Stop(); }

std::string RadioServer::Url(const std::string& path) const {
  return server_.Url(path);
}

std::vector<std::string> RadioServer::Requests() {
  std::lock_guard lock(requests_mutex_);
  return requests_;
}

size_t RadioServer::LiveCursor() {
  std::lock_guard lock(requests_mutex_);
  return live_cursor_;
}

void RadioServer::Serve(Connection& client) {
  const std::string& head = client.head();
  {
    std::lock_guard lock(requests_mutex_);
    requests_.push_back(head);
  }
  std::string target = head.substr(0, head.find("\r\n"));
  bool absolute = target.find(" http://") != std::string::npos;
  if (script_.proxy != absolute) {
    client.Send("HTTP/1.0 403 Forbidden\r\n\r\n");
    return;
  }
  if (script_.redirect && target.find(" /old ") != std::string::npos) {
    client.Send("HTTP/1.0 302 Found\r\nLocation: " + Url() +
                "\r\nContent-Length: 0\r\n\r\n");
    return;
  }
  size_t start = 0;
  if (!TakeStation(client.number(), &start)) {
    client.Send("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    return;
  }
  if (script_.file) {
    ServeFile(client);
    return;
  }
  std::string reply = "ICY 200 OK\r\nContent-Type: audio/mpeg\r\n";
  if (!script_.metaint_header.empty()) {
    reply += "icy-metaint: " + script_.metaint_header + "\r\n";
  } else if (script_.metaint > 0) {
    reply += "icy-metaint: " + std::to_string(script_.metaint) + "\r\n";
  }
  if (client.Send(reply + "\r\n")) SendBody(client, start);
}

// False when the request is refused; a live station starts where it is.
bool RadioServer::TakeStation(int request, size_t* start) {
  if (script_.refuse_from_request > 0 &&
      request >= script_.refuse_from_request) {
    return false;
  }
  if (!script_.live) return true;
  std::lock_guard lock(requests_mutex_);
  if (live_cursor_ >= script_.audio.size()) return false;  // off the air
  live_listener_ = request;
  *start = live_cursor_;
  return true;
}

void RadioServer::ServeFile(Connection& client) {
  const std::string& head = client.head();
  const size_t size = script_.audio.size();
  size_t from = 0;
  size_t range = head.find("\r\nRange: bytes=");
  if (script_.ranges && range != std::string::npos) {
    from = std::strtoull(head.c_str() + range + 15, nullptr, 10);
  }
  std::string reply;
  if (from > 0 && from < size) {
    reply = "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " +
            std::to_string(from) + "-" + std::to_string(size - 1) + "/" +
            std::to_string(size) + "\r\n";
  } else {
    from = 0;
    reply = "HTTP/1.1 200 OK\r\n";
  }
  reply += "Content-Length: " + std::to_string(size - from) +
           "\r\nContent-Type: audio/mpeg\r\nConnection: close\r\n\r\n";
  if (client.Send(reply)) SendBody(client, from);
}

std::string RadioServer::MetaBlock(size_t index) const {
  if (script_.oversized_meta && index == 0) {
    std::string text = "StreamTitle='Big';";
    text.resize(255 * 16, 'x');
    return std::string(1, static_cast<char>(255)) + text;
  }
  if (index >= script_.titles.size() || script_.titles[index].empty()) {
    return std::string(1, '\0');
  }
  std::string text =
      "StreamTitle='" + script_.titles[index] + "';StreamUrl='';";
  size_t blocks = (text.size() + 15) / 16;
  text.resize(blocks * 16, '\0');
  return std::string(1, static_cast<char>(blocks)) + text;
}

bool RadioServer::Superseded(int request) {
  std::lock_guard lock(requests_mutex_);
  return script_.live && live_listener_ != request;
}

void RadioServer::Advance(int request, size_t position) {
  std::lock_guard lock(requests_mutex_);
  if (script_.live && live_listener_ == request) live_cursor_ = position;
}

// Sleeps `ms`; false when the server ends or a newer listener took over.
bool RadioServer::Pause(int ms, Connection& client) {
  for (int slept = 0; slept < ms; slept += kPauseStepMs) {
    if (Superseded(client.number()) || !client.Pause(kPauseStepMs)) {
      return false;
    }
  }
  return true;
}

// The audio offset where this connection drops, or 0.
size_t RadioServer::DropAt(int request, size_t start) const {
  size_t drop_at = 0;
  if (script_.drop_after > 0 && request == 1) drop_at = script_.drop_after;
  if (script_.drop_every > 0) {
    size_t every = start + script_.drop_every;
    drop_at = drop_at == 0 ? every : std::min(drop_at, every);
  }
  return drop_at;
}

bool RadioServer::SendBody(Connection& client, size_t start) {
  const int request = client.number();
  const std::string& audio = script_.audio;
  const size_t step = script_.metaint > 0 ? script_.metaint : 4096;
  const size_t drop_at = DropAt(request, start);
  size_t block = 0;
  for (size_t at = start; at < audio.size(); at += step) {
    if (client.Ending() || Superseded(request)) return false;
    size_t length = std::min(step, audio.size() - at);
    if (drop_at > 0 && at + length > drop_at) {
      if (client.Send(audio.substr(at, drop_at - at))) {
        Advance(request, drop_at);
      }
      return false;
    }
    if (!client.Send(audio.substr(at, length))) return false;
    Advance(request, at + length);
    if (script_.metaint > 0 && length == step &&
        !client.Send(MetaBlock(block++))) {
      return false;
    }
    if (!Pause(script_.chunk_pause_ms, client)) return false;
    if (script_.stall_after > 0 && at < script_.stall_after &&
        at + length >= script_.stall_after &&
        !Pause(script_.stall_ms, client)) {
      return false;
    }
  }
  return true;
}

}  // namespace kivo::loopback
