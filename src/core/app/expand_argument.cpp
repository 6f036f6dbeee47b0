#include "core/app/expand_argument.h"

#include <filesystem>
#include <system_error>

namespace kivo {
namespace fs = std::filesystem;

std::string ExpandArgument(const std::string& path, const std::string& cwd) {
  std::string not_found = path + kNotFoundSuffix;
  if (path.empty() || path.back() == '/') return not_found;
  fs::path absolute =
      path.front() == '/' ? fs::path(path) : fs::path(cwd) / path;
  std::string normal = absolute.lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  std::error_code error;
  if (!fs::exists(normal, error)) return not_found;
  return normal;
}

std::string BuildHandOffText(const std::vector<std::string>& arguments,
                             const std::string& cwd) {
  std::string text;
  for (const std::string& argument : arguments) {
    text += ExpandArgument(argument, cwd);
    text += '|';
  }
  return text;
}

std::string CurrentDirectory() {
  std::error_code error;
  fs::path cwd = fs::current_path(error);
  return error ? std::string("/") : cwd.string();
}

}  // namespace kivo
