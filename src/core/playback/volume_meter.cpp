#include "core/playback/volume_meter.h"

#include <algorithm>

#include "core/util/text.h"

namespace kivo {
namespace {

constexpr int kMeterFallPerTick = 1500;

}  // namespace

void ApplyVolume(AudioLibrary& audio, int volume_0_10000) {
  uint32_t value = static_cast<uint32_t>(volume_0_10000);
  audio.SetConfig(AudioLibrary::kConfigGlobalMusicVolume, value);
  audio.SetConfig(AudioLibrary::kConfigGlobalStreamVolume, value);
}

std::string VolumePercentText(int volume_0_10000) {
  return GeneralNumberText(volume_0_10000 / 10000.0 * 100);
}

std::string VolumeCaption(Context& context, int volume_0_10000) {
  return "Kivo Player  -  " + context.Text("options", "19", "Volume") + ": " +
         VolumePercentText(volume_0_10000) + "%";
}

void SetVolume(Context& context, PlaybackState& state, int volume_0_10000) {
  state.volume_level = std::clamp(volume_0_10000, 0, kVolumeMax);
  ApplyVolume(context.platform.audio, state.volume_level);
  context.platform.now_playing.StatusChanged();
  context.settings.WriteInt("settings", "volume", state.volume_level);
}

void ChangeVolume(Context& context, PlaybackState& state, int direction) {
  int next = state.volume_level + (direction > 0 ? kVolumeStep : -kVolumeStep);
  SetVolume(context, state,
            next >= 0 && next <= kVolumeMax ? next : state.volume_level);
}

void LevelMeterTimer(Context& context, PlaybackState& state) {
  uint32_t level =
      context.platform.audio.ChannelGetLevel(state.current_channel);
  state.meter_left = std::max(0, state.meter_left - kMeterFallPerTick);
  state.meter_right = std::max(0, state.meter_right - kMeterFallPerTick);
  if (level != AudioLibrary::kLevelError) {
    state.meter_left =
        std::max(state.meter_left, static_cast<int>(level & 0xFFFF));
    state.meter_right =
        std::max(state.meter_right, static_cast<int>(level >> 16));
  }
  context.platform.window.SetLevels(state.meter_left, state.meter_right);
}

void ResetLevelMeter(Context& context, PlaybackState& state) {
  state.meter_left = 0;
  state.meter_right = 0;
  context.platform.window.SetLevels(0, 0);
}

}  // namespace kivo
