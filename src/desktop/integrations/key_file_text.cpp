#include "desktop/integrations/key_file_text.h"

namespace kivo::desktop {
namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsBlank(const std::string& line) { return Trim(line).empty(); }

std::optional<std::string> GroupName(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') {
    return std::nullopt;
  }
  return trimmed.substr(1, trimmed.size() - 2);
}

struct KeyLine {
  std::string key;
  std::string value;
};

std::optional<KeyLine> ParseKeyLine(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.empty() || trimmed[0] == '#') return std::nullopt;
  const size_t equals = trimmed.find('=');
  if (equals == std::string::npos) return std::nullopt;
  return KeyLine{Trim(trimmed.substr(0, equals)),
                 Trim(trimmed.substr(equals + 1))};
}

std::string LineEnding(const std::string& line) {
  if (line.ends_with("\r\n")) return "\r\n";
  if (line.ends_with("\n")) return "\n";
  return {};
}

}  // namespace

KeyFileText::KeyFileText(const std::string& text) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t newline = text.find('\n', start);
    const size_t end = newline == std::string::npos ? text.size() : newline + 1;
    lines_.push_back(text.substr(start, end - start));
    start = end;
  }
}

std::optional<KeyFileText::Range> KeyFileText::FindGroup(
    const std::string& group) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (GroupName(lines_[i]) != group) continue;
    size_t end = i + 1;
    while (end < lines_.size() && !GroupName(lines_[end])) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> KeyFileText::FindKey(const std::string& group,
                                           const std::string& key) const {
  const auto range = FindGroup(group);
  if (!range) return std::nullopt;
  for (size_t i = range->header + 1; i < range->end; ++i) {
    const auto parsed = ParseKeyLine(lines_[i]);
    if (parsed && parsed->key == key) return i;
  }
  return std::nullopt;
}

std::optional<std::string> KeyFileText::Value(const std::string& group,
                                              const std::string& key) const {
  const auto index = FindKey(group, key);
  if (!index) return std::nullopt;
  return ParseKeyLine(lines_[*index])->value;
}

void KeyFileText::Set(const std::string& group, const std::string& key,
                      const std::string& value) {
  const std::string line = key + "=" + value;
  if (const auto index = FindKey(group, key)) {
    const std::string ending = LineEnding(lines_[*index]);
    lines_[*index] = line + (ending.empty() ? "\n" : ending);
    return;
  }
  if (!lines_.empty() && LineEnding(lines_.back()).empty()) {
    lines_.back() += "\n";
  }
  auto range = FindGroup(group);
  if (!range) {
    if (!lines_.empty()) lines_.push_back("\n");
    lines_.push_back("[" + group + "]\n");
    lines_.push_back(line + "\n");
    return;
  }
  size_t after = range->end;
  while (after > range->header + 1 && IsBlank(lines_[after - 1])) --after;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after),
                line + "\n");
}

void KeyFileText::Remove(const std::string& group, const std::string& key) {
  if (const auto index = FindKey(group, key)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
  }
}

void KeyFileText::RemoveGroupIfEmpty(const std::string& group) {
  const auto range = FindGroup(group);
  if (!range) return;
  for (size_t i = range->header + 1; i < range->end; ++i) {
    if (!IsBlank(lines_[i])) return;
  }
  size_t first = range->header;
  if (first > 0 && IsBlank(lines_[first - 1])) --first;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
               lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

std::vector<std::string> KeyFileText::Keys(const std::string& group) const {
  std::vector<std::string> keys;
  const auto range = FindGroup(group);
  if (!range) return keys;
  for (size_t i = range->header + 1; i < range->end; ++i) {
    if (const auto parsed = ParseKeyLine(lines_[i]))
      keys.push_back(parsed->key);
  }
  return keys;
}

std::string KeyFileText::Text() const {
  std::string text;
  for (const std::string& line : lines_) text += line;
  return text;
}

}  // namespace kivo::desktop
