#include "core/util/case_path.h"

#include <filesystem>
#include <system_error>

#include "core/util/text.h"

namespace kivo {
namespace fs = std::filesystem;

std::string ResolveIgnoringCase(const std::string& folder,
                                const std::string& name) {
  std::string base = folder;
  if (!base.empty() && base.back() == '/') base.pop_back();
  std::string exact = base + "/" + name;
  std::error_code error;
  if (fs::exists(exact, error)) return exact;
  fs::directory_iterator it(base.empty() ? "/" : base, error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::string entry = it->path().filename().string();
    if (EqualsIgnoreCase(entry, name)) return base + "/" + entry;
  }
  return exact;
}

}  // namespace kivo
