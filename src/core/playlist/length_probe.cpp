#include "core/playlist/length_probe.h"

#include <cmath>

namespace kivo {
namespace {

long long WholeSeconds(AudioLibrary& audio, AudioLibrary::Handle handle) {
  uint64_t bytes = audio.ChannelGetLength(handle, 0);
  if (bytes == AudioLibrary::kLengthError) return 0;
  double seconds = audio.ChannelBytes2Seconds(handle, bytes);
  if (!std::isfinite(seconds) || seconds < 0 || seconds > 1e15) return 0;
  return static_cast<long long>(seconds);
}

}  // namespace

long long MeasureLengthSeconds(AudioLibrary& audio,
                               const std::string& location) {
  if (AudioLibrary::Handle stream = audio.StreamCreateFile(location, 0, 0, 0)) {
    long long seconds = WholeSeconds(audio, stream);
    audio.StreamFree(stream);
    return seconds;
  }
  AudioLibrary::Handle music = audio.MusicLoad(
      location, 0, 0, AudioLibrary::kMusicPrescan | AudioLibrary::kMusicRamp,
      0);
  if (!music) return 0;
  long long seconds = WholeSeconds(audio, music);
  audio.MusicFree(music);
  return seconds;
}

}  // namespace kivo
