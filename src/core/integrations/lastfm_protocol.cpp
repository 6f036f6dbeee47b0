#include "core/integrations/lastfm_protocol.h"

#include <openssl/evp.h>

#include <charconv>
#include <cstdio>

#include "core/util/text.h"
#include "core/util/utf8.h"

namespace kivo::lastfm {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

std::string Hex(const unsigned char* data, size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 0xF];
  }
  return out;
}

bool IsUrlSafe(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
}

std::string Clean(std::string_view text) {
  return EnsureUtf8(ReplaceAll(text, ";", " "));
}

std::optional<int> ParsePort(std::string_view text) {
  int port = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), port);
  if (error != std::errc() || end != text.data() + text.size() || port <= 0 ||
      port > 65535) {
    return std::nullopt;
  }
  return port;
}

int64_t NumberOr0(std::string_view text) {
  int64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The password's two scramble bytes; applying them twice gives the bytes back.
constexpr unsigned char kScrambleFirst = 0x5A;
constexpr unsigned char kScrambleSecond = 0x3C;
// Starts the stored password of this version. An earlier version stored the
// scrambled bytes as they were, which never start so: "h" scrambled is a
// control character, and nobody types one into a password.
constexpr std::string_view kStoredPasswordMarker = "hex:";

std::string Scramble(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    c = static_cast<char>(static_cast<unsigned char>(c) ^ kScrambleFirst ^
                          kScrambleSecond);
  }
  return out;
}

std::pair<std::string_view, std::string_view> SplitAtColon(
    std::string_view text) {
  size_t colon = text.find(':');
  if (colon == std::string_view::npos) return {text, {}};
  return {text.substr(0, colon), text.substr(colon + 1)};
}

}  // namespace

int64_t UtcTimestamp(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  int64_t t = DaysFromCivil(local.tm_year + 1900,
                            static_cast<unsigned>(local.tm_mon + 1),
                            static_cast<unsigned>(local.tm_mday)) *
                  86400 +
              local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  return t - local.tm_gmtoff;
}

std::string FormEncode(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (byte == ' ') {
      out += '+';
    } else if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
               byte == '*' || byte == '-' || byte == '.' || byte == '@' ||
               byte == '_') {
      out += c;
    } else {
      char code[4];
      std::snprintf(code, sizeof code, "%%%.2x", byte);
      out += code;
    }
  }
  return out;
}

std::string ScramblePassword(std::string_view password) {
  const std::string scrambled = Scramble(password.substr(0, 255));
  return std::string(kStoredPasswordMarker) +
         Hex(reinterpret_cast<const unsigned char*>(scrambled.data()),
             scrambled.size());
}

std::string UnscramblePassword(std::string_view stored) {
  if (!stored.starts_with(kStoredPasswordMarker)) return Scramble(stored);
  stored.remove_prefix(kStoredPasswordMarker.size());
  std::string bytes;
  for (size_t i = 0; i + 1 < stored.size(); i += 2) {
    unsigned value = 0;
    auto [end, error] =
        std::from_chars(stored.data() + i, stored.data() + i + 2, value, 16);
    if (error != std::errc() || end != stored.data() + i + 2) return {};
    bytes += static_cast<char>(value);
  }
  if (stored.size() % 2 != 0) return {};
  return Scramble(bytes);
}

std::string Md5Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_md5(), nullptr);
  return Hex(digest, size);
}

std::string HandshakeToken(std::string_view password, int64_t timestamp) {
  return Md5Hex(Md5Hex(password) + IntText(timestamp));
}

std::string HandshakeUrl(std::string_view server, std::string_view user,
                         int64_t timestamp, std::string_view token) {
  std::string encoded_user;
  for (char c : user) {
    auto byte = static_cast<unsigned char>(c);
    if (IsUrlSafe(byte)) {
      encoded_user += c;
    } else {
      char code[4];
      std::snprintf(code, sizeof code, "%%%.2X", byte);
      encoded_user += code;
    }
  }
  std::string base(server);
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + "/?hs=true&p=1.2&c=kiv&v=0.1&u=" + encoded_user +
         "&t=" + IntText(timestamp) + "&a=" + std::string(token);
}

std::vector<std::string> SplitReplyItems(std::string_view body) {
  std::vector<std::string> items;
  std::string current;
  bool in_quotes = false;
  bool have_item = false;
  for (char c : body) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"') {
      in_quotes = !in_quotes;
      have_item = true;
    } else if (!in_quotes && (byte <= ' ')) {
      if (have_item) items.push_back(std::move(current));
      current.clear();
      have_item = false;
    } else {
      current += c;
      have_item = true;
    }
  }
  if (have_item) items.push_back(std::move(current));
  return items;
}

HandshakeResult ParseHandshakeReply(const HttpResponse& reply) {
  if (!reply.ok) return {std::nullopt, reply.error};
  if (reply.status < 200 || reply.status >= 300) {
    return {std::nullopt, "HTTP/1.1 " + IntText(reply.status)};
  }
  std::vector<std::string> items = SplitReplyItems(reply.body);
  if (items.empty()) return {std::nullopt, "Empty reply"};
  if (std::string(TrimWhitespace(items[0])) != "OK")
    return {std::nullopt, items[0]};
  if (items.size() < 4) return {std::nullopt, "Incomplete reply"};
  Session session{std::string(TrimWhitespace(items[1])),
                  std::string(TrimWhitespace(items[2])),
                  std::string(TrimWhitespace(items[3]))};
  return {session, ""};
}

std::string NowPlayingBody(const std::string& session_id, const Track& track) {
  return "s=" + session_id + "&a=" + FormEncode(Clean(track.artist)) +
         "&t=" + FormEncode(Clean(track.title)) +
         "&b=" + FormEncode(Clean(track.album)) +
         "&l=" + IntText(track.length_seconds) + "&n=" + track.track_number +
         "&m=";
}

std::string SubmissionBody(const std::string& session_id, const Track& track) {
  return "s=" + session_id + "&a[0]=" + FormEncode(EnsureUtf8(track.artist)) +
         "&t[0]=" + FormEncode(EnsureUtf8(track.title)) +
         "&i[0]=" + IntText(track.start_time) +
         "&o[0]=P&r[0]=&l[0]=" + IntText(track.length_seconds) +
         "&b[0]=" + FormEncode(EnsureUtf8(track.album)) +
         "&n[0]=" + track.track_number + "&m[0]=";
}

std::string QueueLine(const Track& track) {
  auto field = [](const std::string& text) {
    return ReplaceAll(text, ";", " ");
  };
  return field(track.artist) + ";" + field(track.title) + ";" +
         IntText(track.start_time) + ";" + IntText(track.length_seconds) + ";" +
         field(track.album) + ";" + field(track.track_number);
}

std::optional<Track> ParseQueueLine(std::string_view line) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t semicolon = line.find(';', start);
    fields.emplace_back(line.substr(start, semicolon - start));
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
  if (fields.size() < 6) return std::nullopt;
  Track track;
  track.artist = fields[0];
  track.title = fields[1];
  track.start_time = NumberOr0(fields[2]);
  track.length_seconds = NumberOr0(fields[3]);
  track.album = fields[4];
  track.track_number = fields[5];
  return track;
}

std::optional<HttpProxy> ParseProxy(std::string_view text) {
  HttpProxy proxy;
  size_t at = text.find('@');
  if (at != std::string_view::npos) {
    auto [user, password] = SplitAtColon(text.substr(0, at));
    proxy.user = std::string(user);
    proxy.password = std::string(password);
    text = text.substr(at + 1);
  }
  auto [host, port] = SplitAtColon(text);
  std::optional<int> number = ParsePort(port);
  if (!number || host.empty()) return std::nullopt;
  proxy.host = std::string(host);
  proxy.port = *number;
  return proxy;
}

}  // namespace kivo::lastfm
