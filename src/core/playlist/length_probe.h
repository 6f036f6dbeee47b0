#pragma once

#include <string>

#include "core/platform/audio_library.h"

namespace kivo {

// Whole seconds (cut toward zero) of a position or length in bytes of
// channel; -1 when the library cannot tell.
long long WholeSecondsOf(AudioLibrary& audio, AudioLibrary::Handle channel,
                         uint64_t bytes);

// The length of a location in whole seconds, cut toward zero: opened as a
// plain file stream, else as a tracker module, and freed at once. Addresses,
// missing files and lengths the library cannot tell give 0.
long long MeasureLengthSeconds(AudioLibrary& audio,
                               const std::string& location);

}  // namespace kivo
