#pragma once

#include <string>
#include <vector>

namespace kivo {

// Where the player keeps settings.ini, temp.tmp, LastFM.Queue, language/,
// Theme/ and Plug-ins/. Always ends with "/".
struct ProgramDirChoice {
  std::string path;
  // The folder did not exist and was made now: seed it with shipped files.
  bool created = false;
};

// KIVO_PLAYER_HOME when set; else the executable's folder when it holds
// settings.ini or a file named "portable"; else $XDG_CONFIG_HOME/kivo-player/
// (default ~/.config/kivo-player/). The folder is created when missing.
ProgramDirChoice ResolveProgramDir(const std::string& executable_path);

// Folders holding the shipped language/, Theme/ and Plug-ins/ files, best
// first: beside a build's executable, then the installed share folder.
std::vector<std::string> ShippedDataDirs(const std::string& executable_path);

// Copies the shipped folders into a new program folder; existing files stay.
void SeedProgramDir(const std::string& program_dir,
                    const std::vector<std::string>& shipped_dirs);

// The absolute path of the running program.
std::string CurrentExecutablePath();

}  // namespace kivo
