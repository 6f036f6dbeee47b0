#pragma once

#include <string>
#include <vector>

namespace kivo::engine::test {

// A private temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Runs the ffmpeg command line tool quietly with `arguments`; true on success.
bool Ffmpeg(const std::string& arguments);

// Renders the lavfi expression (of t, in seconds) as stereo at 44.1 kHz for
// `seconds` into `path`, encoded with `codec` ("-c:a flac" ...), tagged
// title=Tone, artist=Kivo, album=Tests, track=7, genre=Sine, date=2024,
// comment=generated.
bool Render(const std::string& path, const std::string& expression,
            double seconds, const std::string& codec);

// A sine tone of `amplitude` (0..1).
bool Tone(const std::string& path, double frequency, double amplitude,
          double seconds, const std::string& codec);

std::vector<float> ReadFloats(const std::string& path);
size_t FileSize(const std::string& path);

}  // namespace kivo::engine::test
