// Writes the hostile media set into a folder and prints one line per file:
// what it is, a tab, its path.
#include <cstdio>

#include "engine/hostile_media.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kivo-hostile-media FOLDER\n");
    return 2;
  }
  auto files = kivo::engine::test::WriteHostileMedia(argv[1]);
  for (const auto& file : files) {
    std::printf("%s\t%s\n", file.what.c_str(), file.path.c_str());
  }
  return files.empty() ? 1 : 0;
}
