#pragma once

#include <string>
#include <vector>

namespace kivo {

constexpr const char kNotFoundSuffix[] = " [directory not found]";
// Ends every path of a hand-off text: the one byte no Linux path holds.
constexpr char kHandOffSeparator = '\0';

// A command-line path in its stored form: absolute (a relative path is taken
// from cwd, as a terminal user types it) and lexically normalised, symlinks
// kept. A path that does not exist, or ends with "/", comes back followed by
// " [directory not found]". A stream address (http://, https://, ftp://)
// comes back as it is.
std::string ExpandArgument(const std::string& path, const std::string& cwd);

// The text a second start hands to the running instance: each argument
// expanded and followed by kHandOffSeparator.
std::string BuildHandOffText(const std::vector<std::string>& arguments,
                             const std::string& cwd);

std::string CurrentDirectory();

}  // namespace kivo
