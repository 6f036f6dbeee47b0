#include <algorithm>
#include <cmath>

#include "core/playback/playback_controller.h"
#include "core/playback/time_display.h"

namespace kivo {

PlayerStatus PlaybackController::Status() const {
  PlayerStatus status;
  AudioLibrary& audio = context_.platform.audio;
  const PlaylistModel& model = state_.playlist;
  const PlaybackState& playback = state_.playback;
  // An entry being opened counts as playing: between two tracks the desktop
  // sees no stop, and a failed open reports one when it arrives.
  status.channel_state =
      OpenPending() ? AudioLibrary::kActivePlaying : ChannelState();
  status.title = playback.title;
  status.volume_0_10000 = playback.volume_level;
  if (Channel()) {
    status.position_seconds =
        std::max(0.0, audio.ChannelBytes2Seconds(
                          Channel(), audio.ChannelGetPosition(Channel(), 0)));
    status.length_seconds =
        static_cast<double>(LengthSeconds(audio, Channel()));
  }
  bool active = status.channel_state == AudioLibrary::kActivePlaying ||
                status.channel_state == AudioLibrary::kActivePaused;
  status.can_seek = active && status.length_seconds >= 0;
  status.can_go_next = !state_.queue_list.empty() ||
                       (CheckedPlayMode() == kShuffle && model.Count() > 1) ||
                       !model.IsLast(model.playing_index);
  status.can_go_previous = model.playing_index > 0;
  status.can_play = !model.Empty() || active;
  return status;
}

void PlaybackController::SeekToSeconds(double seconds) {
  AudioLibrary& audio = context_.platform.audio;
  int state = ChannelState();
  if (state != AudioLibrary::kActivePlaying &&
      state != AudioLibrary::kActivePaused) {
    return;
  }
  long long length = LengthSeconds(audio, Channel());
  if (length < 0 || !std::isfinite(seconds)) return;
  long long whole = static_cast<long long>(std::trunc(seconds));
  SeekTo(context_, state_.playback,
         static_cast<int>(std::clamp<long long>(whole, 0, length)));
}

}  // namespace kivo
