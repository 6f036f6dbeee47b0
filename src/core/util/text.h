#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// ASCII-only case folding: the player compares names the way the Windows
// profile functions do, leaving other bytes alone.
char AsciiLower(char c);
std::string AsciiLower(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
// Blanks (space, tab) removed at both ends.
std::string_view TrimBlanks(std::string_view text);
// Spaces and control characters removed at both ends.
std::string_view TrimWhitespace(std::string_view text);
// Every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from,
                       std::string_view to);
// Lines ended by CR, LF or CR LF; a final line break makes no extra line.
std::vector<std::string> SplitLines(std::string_view text);
// The same lines, each handed over in turn without a copy.
void ForEachLine(std::string_view text,
                 const std::function<void(std::string_view line)>& on_line);

// The same lines from text that arrives in blocks (a file read piece by
// piece): a line, and a CR LF, may fall across two blocks. Lines within a
// block are handed over without a copy.
class LineSplitter {
 public:
  explicit LineSplitter(
      const std::function<void(std::string_view line)>& on_line)
      : on_line_(on_line) {}

  void Feed(std::string_view block);
  // The last line, when the text does not end with a line break.
  void Finish();

 private:
  void EndLine(std::string_view rest);

  const std::function<void(std::string_view line)>& on_line_;
  std::string carried_;  // the start of a line the last block ended in
  bool after_cr_ = false;
};
// Lines joined, each followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);
// Decimal text of an integer.
std::string IntText(long long value);
// Shortest general form of a double (15 significant digits, no trailing
// zeros, locale-independent): 50, 12.34, 50.5.
std::string GeneralNumberText(double value);

}  // namespace kivo
