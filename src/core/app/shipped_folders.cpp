#include "core/app/shipped_folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/util/case_path.h"
#include "core/util/text.h"

namespace kivo {
namespace fs = std::filesystem;
namespace {

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (folder.empty()) return names;
  std::error_code error;
  fs::directory_iterator it(folder, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

}  // namespace

LayeredFolder::LayeredFolder(std::string user_folder,
                             std::string shipped_folder, bool ignore_case)
    : user_folder_(std::move(user_folder)),
      shipped_folder_(std::move(shipped_folder)),
      ignore_case_(ignore_case) {}

bool LayeredFolder::SameName(const std::string& a, const std::string& b) const {
  return ignore_case_ ? EqualsIgnoreCase(a, b) : a == b;
}

std::vector<std::string> LayeredFolder::Entries() const {
  std::vector<std::string> names = NamesIn(user_folder_);
  const size_t user_count = names.size();
  for (const std::string& shipped : NamesIn(shipped_folder_)) {
    const auto user_end = names.begin() + static_cast<long>(user_count);
    if (std::none_of(names.begin(), user_end, [&](const std::string& name) {
          return SameName(name, shipped);
        })) {
      names.push_back(shipped);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string LayeredFolder::Find(const std::string& folder,
                                const std::string& name) const {
  std::string path =
      ignore_case_ ? ResolveIgnoringCase(folder, name) : folder + "/" + name;
  std::error_code error;
  return fs::exists(path, error) ? path : std::string();
}

std::string LayeredFolder::FileOf(const std::string& name) const {
  std::string user = Find(user_folder_, name);
  if (!user.empty()) return user;
  if (!shipped_folder_.empty()) {
    std::string shipped = Find(shipped_folder_, name);
    if (!shipped.empty()) return shipped;
  }
  return ignore_case_ ? ResolveIgnoringCase(user_folder_, name)
                      : user_folder_ + "/" + name;
}

}  // namespace kivo
