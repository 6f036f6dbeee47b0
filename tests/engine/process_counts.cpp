#include "engine/process_counts.h"

#include <dirent.h>

#include <fstream>

namespace kivo::engine::test {

namespace {

int CountEntries(const char* folder) {
  int count = 0;
  if (DIR* dir = opendir(folder)) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

}  // namespace

int ThreadCount() { return CountEntries("/proc/self/task"); }
int OpenDescriptorCount() { return CountEntries("/proc/self/fd"); }

int ThreadsNamed(const std::string& prefix) {
  int count = 0;
  DIR* dir = opendir("/proc/self/task");
  if (!dir) return 0;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream comm(std::string("/proc/self/task/") + entry->d_name +
                       "/comm");
    std::string name;
    count += std::getline(comm, name) && name.rfind(prefix, 0) == 0;
  }
  closedir(dir);
  return count;
}

}  // namespace kivo::engine::test
