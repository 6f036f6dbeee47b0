#include "core/util/text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace kivo {

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         text.substr(text.size() - suffix.size()) == suffix;
}

std::string_view TrimBlanks(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.substr(begin, end - begin);
}

std::string_view TrimWhitespace(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string ReplaceAll(std::string_view text, std::string_view from,
                       std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t pos = 0;
  while (true) {
    size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

namespace {

// The first `c` at or after `from`, else `end`.
const char* Next(const char* from, const char* end, char c) {
  const void* found = std::memchr(from, c, static_cast<size_t>(end - from));
  return found ? static_cast<const char*>(found) : end;
}

}  // namespace

void LineSplitter::Feed(std::string_view block) {
  const char* at = block.data();
  const char* const end = at + block.size();
  if (after_cr_ && at < end && *at == '\n') ++at;
  after_cr_ = false;
  // The next LF and the next CR, each found once and kept until passed:
  // memchr runs at memory speed, and text of CR-only line ends is not
  // searched again for every line.
  const char* lf = nullptr;
  const char* cr = nullptr;
  while (at < end) {
    if (lf < at) lf = Next(at, end, '\n');
    if (cr < at) cr = Next(at, end, '\r');
    const char* stop = std::min(lf, cr);
    if (stop == end) {
      carried_.append(at, end);
      return;
    }
    EndLine(std::string_view(at, static_cast<size_t>(stop - at)));
    at = stop + 1;
    // A CR that ends the block may be the first half of a CR LF.
    after_cr_ = *stop == '\r' && at == end;
    if (*stop == '\r' && at < end && *at == '\n') ++at;
  }
}

void LineSplitter::Finish() {
  if (!carried_.empty()) on_line_(carried_);
  carried_.clear();
}

void LineSplitter::EndLine(std::string_view rest) {
  if (carried_.empty()) {
    on_line_(rest);
    return;
  }
  carried_.append(rest);
  on_line_(carried_);
  carried_.clear();
}

void ForEachLine(std::string_view text,
                 const std::function<void(std::string_view line)>& on_line) {
  LineSplitter splitter(on_line);
  splitter.Feed(text);
  splitter.Finish();
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachLine(text,
              [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& line : lines) {
    out.append(line);
    out.append("\r\n");
  }
  return out;
}

std::string IntText(long long value) { return std::to_string(value); }

std::string GeneralNumberText(double value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                              std::chars_format::general, 15);
  return std::string(buffer, result.ptr);
}

}  // namespace kivo
