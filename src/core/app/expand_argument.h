#pragma once

#include <string>
#include <vector>

namespace kivo {

constexpr const char kNotFoundSuffix[] = " [directory not found]";

// A command-line path in its stored form: absolute (a relative path is taken
// from cwd, as a terminal user types it) and lexically normalised, symlinks
// kept. A path that does not exist, or ends with "/", comes back followed by
// " [directory not found]".
std::string ExpandArgument(const std::string& path, const std::string& cwd);

// The text a second start hands to the running instance: each argument
// expanded and followed by "|".
std::string BuildHandOffText(const std::vector<std::string>& arguments,
                             const std::string& cwd);

std::string CurrentDirectory();

}  // namespace kivo
