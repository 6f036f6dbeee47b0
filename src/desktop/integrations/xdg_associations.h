#pragma once

#include <string>
#include <vector>

#include "core/platform/associations.h"

namespace kivo::desktop {

// Associations on a freedesktop desktop: an entry of the player's own,
// kivo-player-associations.desktop in $XDG_DATA_HOME/applications (hidden from
// menus), lists the MIME types it holds, and $XDG_CONFIG_HOME/mimeapps.list
// names it the default for them. The launcher an install puts there
// (kivo-player.desktop) is never written. Each type takes every audio MIME
// type its extension has, as files are detected by content. The default it
// replaced is kept in mimeapps.list, in [X-Kivo Player Backup]; the type names
// holding each MIME type in [X-Kivo Player Types], because several of our
// types share one MIME type (MOD, MTM and UMX are all audio/x-mod) and the
// last of them to go gives it back. Every file is replaced whole through a
// temporary file. The folders are read from the environment at each call.
class XdgAssociations : public Associations {
 public:
  // program_path: the absolute path of the player's executable.
  explicit XdgAssociations(std::string program_path);

  bool Register(const std::string& type_name,
                std::string* failed_value) override;
  bool Restore(const std::string& type_name,
               std::string* failed_value) override;

  static constexpr const char* kDesktopId = "kivo-player-associations.desktop";

 private:
  bool WriteDesktopFile(const std::vector<std::string>& mime_types) const;

  std::string program_path_;
};

// The Exec= value that starts program_path with one file.
std::string DesktopExecLine(const std::string& program_path);

}  // namespace kivo::desktop
