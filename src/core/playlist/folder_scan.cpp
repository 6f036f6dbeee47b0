#include "core/playlist/folder_scan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <vector>

#include "core/playlist/entry_names.h"

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

// The visible entries of one folder, read whole before any is handled so that
// a deep tree never holds one open descriptor per level.
std::vector<Listed> ListFolder(DIR* dir, const std::string& folder) {
  std::vector<Listed> listed;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name.empty() || name.front() == '.') continue;  // ".", "..", hidden
    listed.push_back({name, IsFolder(folder + "/" + name, *entry)});
  }
  return listed;
}

}  // namespace

FolderScan::FolderScan(PlaylistModel& model, bool skip_known,
                       Progress* progress)
    : model_(model), skip_known_(skip_known), progress_(progress) {
  if (skip_known_) {
    known_.reserve(model_.file_list.size());
    known_.insert(model_.file_list.begin(), model_.file_list.end());
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
