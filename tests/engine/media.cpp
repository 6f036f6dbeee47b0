#include "engine/media.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kivo::engine::test {

namespace {
// Tests that do not capture their output play to SDL's dummy driver, however
// they are started; the capturing tests switch to the disk driver themselves.
const bool kDummyAudio = setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;
}  // namespace

TempDir::TempDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "kivo-engine-XXXXXX").string();
  path_ = mkdtemp(pattern.data()) ? pattern : std::string();
}

TempDir::~TempDir() {
  std::error_code error;
  if (!path_.empty()) std::filesystem::remove_all(path_, error);
}

bool Ffmpeg(const std::string& arguments) {
  if (!kDummyAudio) return false;
  std::string command = "ffmpeg -nostdin -v error -y " + arguments;
  return std::system(command.c_str()) == 0;
}

bool Render(const std::string& path, const std::string& expression,
            double seconds, const std::string& codec) {
  std::ostringstream args;
  // Two channel expressions: a stereo source needs no (attenuating) upmix.
  args << "-f lavfi -i \"aevalsrc='" << expression << "|" << expression
       << "':s=44100:d=" << seconds << "\" " << codec
       << " -metadata title=Tone -metadata artist=Kivo -metadata album=Tests"
          " -metadata track=7 -metadata genre=Sine -metadata date=2024"
          " -metadata comment=generated \""
       << path << "\"";
  return Ffmpeg(args.str());
}

bool Tone(const std::string& path, double frequency, double amplitude,
          double seconds, const std::string& codec) {
  std::ostringstream expression;
  expression << amplitude << "*sin(2*PI*" << frequency << "*t)";
  return Render(path, expression.str(), seconds, codec);
}

std::vector<float> ReadFloats(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                          std::istreambuf_iterator<char>());
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::copy(bytes.begin(),
            bytes.begin() +
                static_cast<std::ptrdiff_t>(samples.size() * sizeof(float)),
            reinterpret_cast<char*>(samples.data()));
  return samples;
}

size_t FileSize(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<size_t>(info.st_size) : 0;
}

}  // namespace kivo::engine::test
