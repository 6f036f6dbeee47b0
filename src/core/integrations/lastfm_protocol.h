#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/http_client.h"

namespace kivo::lastfm {

// Audioscrobbler 1.2 as the player speaks it: client "kiv", version "0.1".
constexpr const char kDefaultServer[] = "http://post.audioscrobbler.com";

// The UTC Unix time of a moment, computed from its local clock fields and the
// zone's offset (daylight saving included) as the submission protocol wants.
int64_t UtcTimestamp(std::time_t moment);

// Space as "+", "*-.@_" and ASCII letters kept, every other byte "%xx".
std::string FormEncode(std::string_view bytes);
// The form settings.ini keeps the password in: its bytes (at most 255)
// scrambled with two fixed bytes and written as hexadecimal digits after
// "hex:". Every password comes back whole: settings.ini drops blanks and
// quotes around a value and ends it at a line break.
std::string ScramblePassword(std::string_view password);
// The password of a stored form. A form without "hex:" was written by an
// earlier version, the scrambled bytes as they were; a form damaged by hand
// gives an empty password.
std::string UnscramblePassword(std::string_view stored);
std::string Md5Hex(std::string_view bytes);
// MD5(MD5(password) + timestamp).
std::string HandshakeToken(std::string_view password, int64_t timestamp);
// server + "/?hs=true&p=1.2&c=kiv&v=0.1&u=…&t=…&a=…"; characters a URL does
// not allow in the user name are percent-encoded.
std::string HandshakeUrl(std::string_view server, std::string_view user,
                         int64_t timestamp, std::string_view token);

// Items of a reply: runs of blanks and control characters separate them, text
// in double quotes is one item.
std::vector<std::string> SplitReplyItems(std::string_view body);

struct Session {
  std::string id;
  std::string now_playing_url;
  std::string submission_url;
  bool Valid() const { return id.size() == 32; }
};

// The session of an OK reply; otherwise the text the user is shown.
struct HandshakeResult {
  std::optional<Session> session;
  std::string error;
};
HandshakeResult ParseHandshakeReply(const HttpResponse& reply);

struct Track {
  std::string artist;
  std::string title;
  std::string album;
  std::string track_number;
  int64_t length_seconds = 0;
  int64_t start_time = 0;
};

std::string NowPlayingBody(const std::string& session_id, const Track& track);
std::string SubmissionBody(const std::string& session_id, const Track& track);

// artist;title;start;length;album;track, with ";" in the texts made blanks.
std::string QueueLine(const Track& track);
// std::nullopt for a line of fewer than six fields.
std::optional<Track> ParseQueueLine(std::string_view line);

// "user:pass@server:port" or "server:port"; std::nullopt when the port is no
// number.
std::optional<HttpProxy> ParseProxy(std::string_view text);

}  // namespace kivo::lastfm
