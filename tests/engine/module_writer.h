#pragma once

#include <string>

namespace kivo::engine::test {

// Writes a small tracker module that libopenmpt loads: one looped square-wave
// sample, one note on the first row, speed 3 at 125 BPM, 16 rows (0.96 s).
// Kinds: "mod", "s3m", "xm", "it". The title is `title`; the IT module also
// carries the song message "made by the tests".
bool WriteModule(const std::string& path, const std::string& kind,
                 const std::string& title);

}  // namespace kivo::engine::test
