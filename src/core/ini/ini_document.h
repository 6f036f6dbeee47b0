#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kivo {

// An INI file in memory, following the Windows profile-file rules: section
// and key names match without regard to ASCII case and the first match wins;
// values lose surrounding blanks and one pair of enclosing quotes; lines end
// with CR, LF or CR LF when read and CR LF when written. Writing a key
// replaces its value where it stands and keeps every other line as it was; a
// new key goes to the end of its section, a new section to the end.
class IniDocument {
 public:
  // Values are cut to this many characters when read.
  static constexpr size_t kMaxValueLength = 2047;

  IniDocument() = default;
  static IniDocument Parse(std::string_view text);

  // std::nullopt when the section or key is absent.
  std::optional<std::string> Get(std::string_view section,
                                 std::string_view key) const;
  std::string GetText(std::string_view section, std::string_view key,
                      std::string_view fallback) const;
  long long GetInt(std::string_view section, std::string_view key,
                   long long fallback) const;

  void Set(std::string_view section, std::string_view key,
           std::string_view value);

  bool HasSection(std::string_view section) const;
  // Key names of a section in file order.
  std::vector<std::string> Keys(std::string_view section) const;

  std::string Serialize() const;

 private:
  // A section header and the lines up to the next header. Keys are indexed
  // by position in `lines`; new keys go after the last key, so the blank and
  // comment lines that follow it stay where they are.
  struct Block {
    std::vector<std::string> lines;  // lines[0] is the header (none: preamble)
    size_t after_last_key = 1;
    std::unordered_map<std::string, size_t> key_lines;  // lower-case key
  };

  Block* FindBlock(std::string_view section);
  const Block* FindBlock(std::string_view section) const;
  static void IndexKey(Block* block, size_t line);

  std::vector<Block> blocks_;  // blocks_[0] holds the lines before any header
  std::unordered_map<std::string, size_t> block_index_;  // lower-case name
};

// Integer text as the profile functions read it: decimal, or "0x"/"0X"
// hexadecimal for texts longer than 2 characters; anything else gives
// std::nullopt.
std::optional<long long> ParseIniInt(std::string_view text);

}  // namespace kivo
