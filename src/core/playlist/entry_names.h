#pragma once

#include <string>
#include <string_view>

namespace kivo {

// The entry's name: the part after the last "/", cut before its last ".".
std::string BaseTitle(std::string_view location);
// The extension from the last "." after the last "/", or "".
std::string ExtensionOf(std::string_view path);
// One of the supported media extensions, in any letter case, in a path
// without a line break.
bool IsSupportedMedia(std::string_view path);
// "http"/"ftp" prefixes, exact: opened as internet streams, recordable.
bool IsNetworkStream(std::string_view location);
// "http://", "https://" or "ftp://" exactly: shown as "[S] " + location.
bool IsStreamAddress(std::string_view location);
// The file name part: the text after the last "/".
std::string FileNamePart(std::string_view location);

}  // namespace kivo
