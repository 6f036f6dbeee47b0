#include "core/app/program_dir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/util/atomic_file.h"

namespace kivo {
namespace fs = std::filesystem;
namespace {

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return (value && *value) ? std::string(value) : fallback;
}

std::string FolderOf(const std::string& path) {
  return fs::path(path).parent_path().string();
}

ProgramDirChoice Ensure(const std::string& folder) {
  ProgramDirChoice choice{WithSlash(folder), false};
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    choice.created = fs::create_directories(folder, error);
  }
  return choice;
}

}  // namespace

ProgramDirChoice ResolveProgramDir(const std::string& executable_path) {
  std::string home = EnvOr("KIVO_PLAYER_HOME", "");
  if (!home.empty()) return Ensure(home);
  std::string beside = FolderOf(executable_path);
  if (!beside.empty() && (FileExists(beside + "/settings.ini") ||
                          FileExists(beside + "/portable"))) {
    return Ensure(beside);
  }
  std::string config =
      EnvOr("XDG_CONFIG_HOME", EnvOr("HOME", "/tmp") + "/.config");
  return Ensure(config + "/kivo-player");
}

std::vector<std::string> ShippedDataDirs(const std::string& executable_path) {
  fs::path folder = fs::path(executable_path).parent_path();
  return {(folder / "share").string(),
          (folder.parent_path() / "share" / "kivo-player").string()};
}

void SeedProgramDir(const std::string& program_dir,
                    const std::vector<std::string>& shipped_dirs) {
  for (const std::string& shipped : shipped_dirs) {
    std::error_code error;
    if (!fs::is_directory(shipped, error)) continue;
    for (const char* sub : {"language", "Theme", "Plug-ins"}) {
      fs::path from = fs::path(shipped) / sub;
      if (!fs::is_directory(from, error)) continue;
      fs::copy(from, fs::path(program_dir) / sub,
               fs::copy_options::recursive | fs::copy_options::skip_existing,
               error);
    }
    return;
  }
}

std::string CurrentExecutablePath() {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.string();
}

}  // namespace kivo
