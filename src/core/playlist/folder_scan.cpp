#include "core/playlist/folder_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "core/playlist/entry_names.h"
#include "core/util/text.h"

namespace kivo {
namespace {

struct Listed {
  std::string name;
  bool is_folder;
};

bool IsFolder(const std::string& path, const dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Name order ignoring letter case, as the system the player was written for
// lists a folder (ext4 lists it in hash order, which scrambles an album).
// Names equal but for case go by their bytes, so no file system decides.
bool ComesBefore(const Listed& a, const Listed& b) {
  const size_t common = std::min(a.name.size(), b.name.size());
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(AsciiLower(a.name[i]));
    const auto y = static_cast<unsigned char>(AsciiLower(b.name[i]));
    if (x != y) return x < y;
  }
  if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
  return a.name < b.name;
}

// The visible entries of one folder in name order, read whole before any is
// handled so that a deep tree never holds one open descriptor per level.
std::vector<Listed> ListFolder(DIR* dir, const std::string& folder) {
  std::vector<Listed> listed;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.empty() || name.front() == '.') continue;  // ".", "..", hidden
    listed.push_back({name, IsFolder(folder + "/" + name, *entry)});
  }
  std::sort(listed.begin(), listed.end(), ComesBefore);
  return listed;
}

}  // namespace

FolderScan::FolderScan(PlaylistModel& model, bool skip_known,
                       Progress* progress)
    : model_(model), skip_known_(skip_known), progress_(progress) {
  if (skip_known_) {
    known_.reserve(model_.file_list.size());
    for (std::string_view location : model_.file_list) {
      known_.emplace(location);
    }
  }
}

bool FolderScan::Scan(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return false;
  struct stat info {};
  if (::fstat(::dirfd(dir), &info) == 0 &&
      !visited_.emplace(info.st_dev, info.st_ino).second) {
    ::closedir(dir);
    return true;
  }
  std::vector<Listed> listed = ListFolder(dir, folder);
  ::closedir(dir);
  for (const Listed& entry : listed) {
    if (progress_) progress_->Step();
    std::string path = folder + "/" + entry.name;
    if (entry.is_folder) {
      Scan(path);
    } else {
      Take(path, entry.name);
    }
  }
  return true;
}

void FolderScan::Take(const std::string& path, const std::string& name) {
  if (!IsSupportedMedia(path)) return;
  if (skip_known_ && !known_.insert(path).second) return;
  model_.AppendEntry(path, BaseTitle(name), true);
}

}  // namespace kivo
