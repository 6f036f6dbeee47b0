#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kivo::desktop {

// A desktop-style key file (mimeapps.list) edited line by line: every line the
// player does not change keeps its bytes, comments and order. Keys are
// matched exactly, spaces around "=" ignored; the first of repeated keys
// counts.
class KeyFileText {
 public:
  explicit KeyFileText(const std::string& text);

  std::optional<std::string> Value(const std::string& group,
                                   const std::string& key) const;
  // Replaces the key's line, or adds one at the end of the group, adding the
  // group at the end of the file when it is missing.
  void Set(const std::string& group, const std::string& key,
           const std::string& value);
  void Remove(const std::string& group, const std::string& key);
  // Drops the group when it holds nothing but blank lines, with the blank
  // line that Set put before it.
  void RemoveGroupIfEmpty(const std::string& group);
  std::vector<std::string> Keys(const std::string& group) const;
  std::string Text() const;

 private:
  struct Range {
    size_t header = 0;  // index of the "[group]" line
    size_t end = 0;     // one past its last line
  };
  std::optional<Range> FindGroup(const std::string& group) const;
  std::optional<size_t> FindKey(const std::string& group,
                                const std::string& key) const;

  std::vector<std::string> lines_;  // each with its own line ending
};

}  // namespace kivo::desktop
