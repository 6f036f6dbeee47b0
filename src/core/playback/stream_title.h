#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/platform/audio_library.h"

namespace kivo {

// The short format name of a channel's type ("mp3", "ogg", "xm", ...), empty
// for every type not named here (plug-in formats, wave with a codec number).
std::string FormatName(AudioLibrary& audio, AudioLibrary::Handle channel);
// MPEG audio streams carry titles worth showing; Ogg ones keep their lines.
bool ShowsStreamTitles(const std::string& format_name);
// The title in a block of in-stream metadata: after StreamTitle=' up to the
// first "';" (the last "'" when there is none), the block cut at its NUL
// padding. std::nullopt when the block has no StreamTitle=.
std::optional<std::string> StreamTitleOf(std::string_view metadata);

}  // namespace kivo
