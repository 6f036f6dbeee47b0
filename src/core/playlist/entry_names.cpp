#include "core/playlist/entry_names.h"

#include <array>

#include "core/util/text.h"

namespace kivo {
namespace {

// The last two are Ogg Opus and Ogg audio under their own extensions, which
// Linux music collections are full of.
constexpr std::array<std::string_view, 31> kSupportedExtensions = {
    ".mp3", ".mp2", ".mp1", ".ogg",  ".wma", ".flac", ".wav", ".m4a",
    ".mp4", ".fla", ".it",  ".xm",   ".s3m", ".mtm",  ".umx", ".mo3",
    ".mod", ".aif", ".iff", ".aiff", ".aac", ".ac3",  ".ape", ".mpc",
    ".ofr", ".spx", ".tta", ".wv",   ".wvc", ".opus", ".oga"};

}  // namespace

std::string FileNamePart(std::string_view location) {
  size_t slash = location.rfind('/');
  return std::string(
      slash == std::string_view::npos ? location : location.substr(slash + 1));
}

std::string BaseTitle(std::string_view location) {
  std::string name = FileNamePart(location);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string ExtensionOf(std::string_view path) {
  size_t dot = path.rfind('.');
  size_t slash = path.rfind('/');
  if (dot == std::string_view::npos) return "";
  if (slash != std::string_view::npos && dot < slash) return "";
  return std::string(path.substr(dot));
}

bool IsSupportedMedia(std::string_view path) {
  // A line break in a name (Linux allows it) cannot be kept in any playlist
  // file: the entry would come back as two wrong ones.
  if (path.find_first_of("\r\n") != std::string_view::npos) return false;
  std::string ext = AsciiLower(ExtensionOf(path));
  for (std::string_view known : kSupportedExtensions) {
    if (ext == known) return true;
  }
  return false;
}

bool IsNetworkStream(std::string_view location) {
  return StartsWith(location, "http") || StartsWith(location, "ftp");
}

bool IsStreamAddress(std::string_view location) {
  // https stations are as much streams as http ones.
  return StartsWith(location, "http://") || StartsWith(location, "https://") ||
         StartsWith(location, "ftp://");
}

}  // namespace kivo
