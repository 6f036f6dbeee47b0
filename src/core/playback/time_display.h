#pragma once

#include <string>

#include "core/app/context.h"
#include "core/playback/playback_state.h"

namespace kivo {

constexpr int kTimeIntervalMs = 200;

// s as hh:mm:ss, or as mm:ss with the minutes not limited to two digits.
std::string ClockText(long long seconds, bool hours);
// The caption while a channel plays. total_seconds -1 is a stream of unknown
// length: the elapsed time and "--:--" as total.
std::string TimeCaption(long long elapsed_seconds, long long total_seconds,
                        bool show_elapsed);

// Whole seconds of a channel's position and length (-1 when unknown).
long long ElapsedSeconds(AudioLibrary& audio, AudioLibrary::Handle channel);
long long LengthSeconds(AudioLibrary& audio, AudioLibrary::Handle channel);

// Handler of the `Time` timer: caption and seek bar while playing; the next
// tick waits for the next whole second of the position.
void TimeTimer(Context& context, PlaybackState& state);
// Seek bar at 0 and disabled; enabled with the channel's length as range when
// the length is known.
void ResetSeekbar(Context& context, PlaybackState& state);
void SeekTo(Context& context, const PlaybackState& state, int seconds);
// Left-button press at x of a bar `width` pixels wide: seeks, or sets the
// volume with Shift held, on the bar's current scale.
void SeekbarMouseDown(Context& context, PlaybackState& state, int x, int width,
                      bool shift);

}  // namespace kivo
