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
  std::error_code error;
  if (!fs::is_directory(folder, error)) fs::create_directories(folder, error);
  return ProgramDirChoice{WithSlash(folder)};
}

std::string FolderIfThere(const fs::path& folder) {
  std::error_code error;
  return fs::is_directory(folder, error) ? folder.string() : std::string();
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

ShippedFolders FindShippedFolders(const std::string& executable_path) {
  const fs::path folder = fs::path(executable_path).parent_path();
  const fs::path build_share = folder / "share";
  std::error_code error;
  if (fs::is_directory(build_share, error)) {
    return {FolderIfThere(build_share / "language"),
            FolderIfThere(build_share / "Theme"),
            FolderIfThere(build_share / "Plug-ins")};
  }
  const fs::path prefix = folder.parent_path();
  const fs::path data = prefix / KIVO_INSTALL_DATADIR / "kivo-player";
  return {
      FolderIfThere(data / "language"), FolderIfThere(data / "Theme"),
      FolderIfThere(prefix / KIVO_INSTALL_LIBDIR / "kivo-player" / "Plug-ins")};
}

std::string CurrentExecutablePath() {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.string();
}

}  // namespace kivo
