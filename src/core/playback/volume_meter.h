#pragma once

#include <string>

#include "core/app/context.h"
#include "core/playback/playback_state.h"

namespace kivo {

constexpr int kVisTimeIntervalMs = 100;
constexpr int kVolumeStep = 500;
constexpr int kVolumeMax = 10000;

// The volume is global: the music and then the stream volume option, never a
// channel, so it survives channel changes.
void ApplyVolume(AudioLibrary& audio, int volume_0_10000);
// 5000 gives "50", 1234 gives "12.34".
std::string VolumePercentText(int volume_0_10000);
// "Kivo Player  -  Volume: 50%"
std::string VolumeCaption(Context& context, int volume_0_10000);
// Clamped to 0..10000, applied and written as `volume`. Throws
// SettingsWriteError.
void SetVolume(Context& context, PlaybackState& state, int volume_0_10000);
// One step up (+1) or down (-1) while it stays in range; applied and written
// also when unchanged. Throws SettingsWriteError.
void ChangeVolume(Context& context, PlaybackState& state, int direction);

// Handler of the `VisTime` timer: bars jump to a new peak and fall 1500 a
// tick, never below 0.
void LevelMeterTimer(Context& context, PlaybackState& state);
// Both bars to 0 (the meter is switched off).
void ResetLevelMeter(Context& context, PlaybackState& state);

}  // namespace kivo
