#include "engine/process_counts.h"

#include <dirent.h>

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

}  // namespace kivo::engine::test
