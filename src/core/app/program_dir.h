#pragma once

#include <string>

#include "core/app/shipped_folders.h"

namespace kivo {

// Where the player keeps settings.ini, temp.tmp, LastFM.Queue, language/,
// Theme/ and Plug-ins/. Always ends with "/".
struct ProgramDirChoice {
  std::string path;
};

// KIVO_PLAYER_HOME when set; else the executable's folder when it holds
// settings.ini or a file named "portable"; else $XDG_CONFIG_HOME/kivo-player/
// (default ~/.config/kivo-player/). The folder is created when missing.
ProgramDirChoice ResolveProgramDir(const std::string& executable_path);

// The shipped language, theme and plug-in folders: share/ beside a build's
// executable, else those of the installation the executable belongs to
// (<prefix>/share/kivo-player/ and the plug-ins under <prefix>/lib/). They
// are read in place, never copied, so an upgrade reaches every user.
ShippedFolders FindShippedFolders(const std::string& executable_path);

// The absolute path of the running program.
std::string CurrentExecutablePath();

}  // namespace kivo
