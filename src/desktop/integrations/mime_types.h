#pragma once

#include <string>
#include <vector>

namespace kivo::desktop {

// The MIME type of a file extension (".mp3", lower case), looked up in the
// shared-mime-info glob files of the given data folders, in order (the user's
// own folder first), and else in the player's own table of the extensions it
// registers. Empty when neither knows it.
std::string MimeTypeForExtension(const std::string& extension,
                                 const std::vector<std::string>& data_dirs);

// Every distinct MIME type of the player's own table, in table order.
std::vector<std::string> PlayerMimeTypes();

}  // namespace kivo::desktop
