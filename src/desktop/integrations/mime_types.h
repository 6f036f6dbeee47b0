#pragma once

#include <string>
#include <vector>

namespace kivo::desktop {

// The audio MIME types whose glob matches a file extension (".ogg", lower
// case) in the shared-mime-info glob files of the given data folders, in the
// order found (the user's own folder first): a file of that extension may be
// detected as any of them by its content (Ogg Vorbis as audio/x-vorbis+ogg,
// Ogg FLAC as audio/x-flac+ogg). Types of other media that share the
// extension (video/ogg, application/x-object for .mod) belong to other
// programs. When the database knows none, the player's own table answers;
// empty when neither knows the extension.
std::vector<std::string> MimeTypesForExtension(
    const std::string& extension, const std::vector<std::string>& data_dirs);

// Every distinct MIME type of the player's own table, in table order.
std::vector<std::string> PlayerMimeTypes();

}  // namespace kivo::desktop
