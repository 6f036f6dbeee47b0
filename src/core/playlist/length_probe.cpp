#include "core/playlist/length_probe.h"

#include <algorithm>
#include <cmath>

namespace kivo {

long long WholeSecondsOf(AudioLibrary& audio, AudioLibrary::Handle channel,
                         uint64_t bytes) {
  if (bytes == AudioLibrary::kLengthError) return -1;
  double seconds = audio.ChannelBytes2Seconds(channel, bytes);
  if (!std::isfinite(seconds) || seconds < 0 || seconds > 1e15) return -1;
  return static_cast<long long>(seconds);
}

namespace {

long long LengthOf(AudioLibrary& audio, AudioLibrary::Handle handle) {
  return std::max(
      WholeSecondsOf(audio, handle, audio.ChannelGetLength(handle, 0)), 0LL);
}

}  // namespace

long long MeasureLengthSeconds(AudioLibrary& audio,
                               const std::string& location) {
  if (AudioLibrary::Handle stream = audio.StreamCreateFile(location, 0, 0, 0)) {
    long long seconds = LengthOf(audio, stream);
    audio.StreamFree(stream);
    return seconds;
  }
  AudioLibrary::Handle music = audio.MusicLoad(
      location, 0, 0, AudioLibrary::kMusicPrescan | AudioLibrary::kMusicRamp,
      0);
  if (!music) return 0;
  long long seconds = LengthOf(audio, music);
  audio.MusicFree(music);
  return seconds;
}

}  // namespace kivo
