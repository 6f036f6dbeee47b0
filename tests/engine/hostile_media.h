#pragma once

#include <string>
#include <vector>

namespace kivo::engine::test {

// One file of the hostile set: what it is and where it was written.
struct HostileFile {
  std::string what;
  std::string path;
};

// Writes files that broken downloads, odd tools and malice produce, each with
// an extension the player accepts: empty, random, truncated, bit-flipped,
// headers that lie about their sizes, hostile tags, and a good tone under a
// name full of shell and text hazards. Empty when ffmpeg could not make the
// real files they start from.
std::vector<HostileFile> WriteHostileMedia(const std::string& folder);

// The path of a name holding `|`, `;`, `$(...)`, quotes, a backslash and a
// byte that is not UTF-8, in `folder`.
std::string HazardousName(const std::string& folder);

}  // namespace kivo::engine::test
