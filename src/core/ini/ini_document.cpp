#include "core/ini/ini_document.h"

#include <charconv>
#include <cstdint>

#include "core/util/text.h"

namespace kivo {
namespace {

// "[name]" gives name; anything else std::nullopt.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view trimmed = TrimBlanks(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(trimmed.substr(1, close - 1));
}

std::string_view KeyOf(std::string_view line) {
  size_t equals = line.find('=');
  if (equals == std::string_view::npos) return {};
  return TrimBlanks(line.substr(0, equals));
}

std::string_view RawValueOf(std::string_view line) {
  size_t equals = line.find('=');
  return TrimBlanks(line.substr(equals + 1));
}

std::string CleanValue(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > IniDocument::kMaxValueLength) {
    value = value.substr(0, IniDocument::kMaxValueLength);
  }
  return std::string(value);
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument document;
  document.blocks_.push_back({});
  document.blocks_[0].after_last_key = 0;
  bool indexing = false;
  for (std::string& line : SplitLines(text)) {
    if (auto name = SectionName(line)) {
      std::string lower = AsciiLower(*name);
      // A repeated section is never read, as with the profile functions.
      indexing = !document.block_index_.count(lower);
      if (indexing) {
        document.block_index_.emplace(lower, document.blocks_.size());
      }
      document.blocks_.push_back({});
      document.blocks_.back().lines.push_back(std::move(line));
      continue;
    }
    Block& block = document.blocks_.back();
    block.lines.push_back(std::move(line));
    if (indexing) IndexKey(&block, block.lines.size() - 1);
  }
  return document;
}

void IniDocument::IndexKey(Block* block, size_t line) {
  std::string_view key = KeyOf(block->lines[line]);
  if (key.empty()) return;
  block->key_lines.try_emplace(AsciiLower(key), line);
  block->after_last_key = line + 1;
}

IniDocument::Block* IniDocument::FindBlock(std::string_view section) {
  auto it = block_index_.find(AsciiLower(section));
  return it == block_index_.end() ? nullptr : &blocks_[it->second];
}

const IniDocument::Block* IniDocument::FindBlock(
    std::string_view section) const {
  auto it = block_index_.find(AsciiLower(section));
  return it == block_index_.end() ? nullptr : &blocks_[it->second];
}

std::optional<std::string> IniDocument::Get(std::string_view section,
                                            std::string_view key) const {
  const Block* block = FindBlock(section);
  if (!block) return std::nullopt;
  auto it = block->key_lines.find(AsciiLower(key));
  if (it == block->key_lines.end()) return std::nullopt;
  return CleanValue(RawValueOf(block->lines[it->second]));
}

std::string IniDocument::GetText(std::string_view section,
                                 std::string_view key,
                                 std::string_view fallback) const {
  auto value = Get(section, key);
  return value ? *value : std::string(fallback);
}

long long IniDocument::GetInt(std::string_view section, std::string_view key,
                              long long fallback) const {
  auto value = Get(section, key);
  if (!value) return fallback;
  return ParseIniInt(*value).value_or(fallback);
}

bool IniDocument::HasSection(std::string_view section) const {
  return FindBlock(section) != nullptr;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const Block* block = FindBlock(section);
  if (!block) return keys;
  for (size_t i = 1; i < block->lines.size(); ++i) {
    std::string_view key = KeyOf(block->lines[i]);
    if (!key.empty()) keys.emplace_back(key);
  }
  return keys;
}

void IniDocument::Set(std::string_view section, std::string_view key,
                      std::string_view value) {
  Block* block = FindBlock(section);
  if (!block) {
    if (blocks_.empty()) blocks_.push_back({{}, 0, {}});
    block_index_.emplace(AsciiLower(section), blocks_.size());
    blocks_.push_back({});
    blocks_.back().lines.push_back("[" + std::string(section) + "]");
    block = &blocks_.back();
  }
  std::string lower_key = AsciiLower(key);
  auto line = block->key_lines.find(lower_key);
  if (line != block->key_lines.end()) {
    std::string stored_key(KeyOf(block->lines[line->second]));
    block->lines[line->second] = stored_key + "=" + std::string(value);
    return;
  }
  size_t position = block->after_last_key;
  block->lines.insert(
      block->lines.begin() + static_cast<std::ptrdiff_t>(position),
      std::string(key) + "=" + std::string(value));
  block->key_lines.emplace(std::move(lower_key), position);
  block->after_last_key = position + 1;
}

std::string IniDocument::Serialize() const {
  std::string out;
  for (const Block& block : blocks_) {
    for (const std::string& line : block.lines) {
      out.append(line);
      out.append("\r\n");
    }
  }
  return out;
}

std::optional<long long> ParseIniInt(std::string_view text) {
  text = TrimBlanks(text);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  bool negative = false;
  if (base == 10 && !text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  unsigned long long magnitude = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  // Values wrap to 32 bits as the profile functions return them.
  auto value = static_cast<long long>(static_cast<int32_t>(
      static_cast<uint32_t>(magnitude & 0xFFFFFFFFull)));
  return negative ? -value : value;
}

}  // namespace kivo
