#include "core/playback/time_display.h"

#include <cmath>
#include <cstdio>

#include "core/playback/seekbar.h"
#include "core/playback/volume_meter.h"
#include "core/playlist/length_probe.h"

namespace kivo {
namespace {

constexpr long long kHour = 3600;
constexpr char kCaptionPrefix[] = "Kivo Player  -  ";
// The tick after a whole second comes this much after it: the position
// advances a device buffer (about 0.1 s) at a time, ahead of what is heard by
// up to one, so a tick this late finds the new second there, once a second,
// and still in time with the sound.
constexpr int kPastTheSecondMs = 100;
// While nothing plays the caption keeps still: the timer looks once a second
// (a station back from a stall shows within one), and the commands that start
// or resume playback ask for a tick at once.
constexpr int kRestingTickMs = 1000;

// Milliseconds until the whole second of the position changes, plus a little;
// the timer's own interval when the position is unknown.
int MsToNextSecond(AudioLibrary& audio, AudioLibrary::Handle channel) {
  double seconds =
      audio.ChannelBytes2Seconds(channel, audio.ChannelGetPosition(channel, 0));
  if (!std::isfinite(seconds) || seconds < 0) return kTimeIntervalMs;
  double left = std::floor(seconds) + 1 - seconds;
  return static_cast<int>(std::ceil(left * 1000)) + kPastTheSecondMs;
}

}  // namespace

std::string ClockText(long long seconds, bool hours) {
  char text[64];
  if (hours) {
    std::snprintf(text, sizeof text, "%.2lld:%.2lld:%.2lld", seconds / kHour,
                  seconds % kHour / 60, seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%.2lld:%.2lld", seconds / 60,
                  seconds % 60);
  }
  return text;
}

std::string TimeCaption(long long elapsed_seconds, long long total_seconds,
                        bool show_elapsed) {
  if (total_seconds < 0) {
    return kCaptionPrefix +
           ClockText(elapsed_seconds, elapsed_seconds > kHour) + " / --:--";
  }
  bool hours =
      total_seconds > kHour || (show_elapsed && elapsed_seconds > kHour);
  long long shown =
      show_elapsed ? elapsed_seconds : total_seconds - elapsed_seconds;
  return kCaptionPrefix + ClockText(shown, hours) + " / " +
         ClockText(total_seconds, hours);
}

long long ElapsedSeconds(AudioLibrary& audio, AudioLibrary::Handle channel) {
  return WholeSecondsOf(audio, channel, audio.ChannelGetPosition(channel, 0));
}

long long LengthSeconds(AudioLibrary& audio, AudioLibrary::Handle channel) {
  return WholeSecondsOf(audio, channel, audio.ChannelGetLength(channel, 0));
}

void TimeTimer(Context& context, PlaybackState& state) {
  AudioLibrary& audio = context.platform.audio;
  AudioLibrary::Handle channel = state.current_channel;
  if (audio.ChannelIsActive(channel) != AudioLibrary::kActivePlaying) {
    context.platform.loop.SetTimerNextTick("Time", kRestingTickMs);
    return;
  }
  long long elapsed = ElapsedSeconds(audio, channel);
  Seekbar(context.platform.window, state.seekbar)
      .SetPosition(static_cast<int>(elapsed));
  long long total = LengthSeconds(audio, channel);
  context.platform.window.SetCaption(
      TimeCaption(elapsed, total, context.menus.Checked("UP")));
  // Caption and bar show whole seconds: nothing changes before the next one,
  // so the timer sleeps until then instead of ticking five times a second.
  context.platform.loop.SetTimerNextTick("Time",
                                         MsToNextSecond(audio, channel));
}

void ResetSeekbar(Context& context, PlaybackState& state) {
  Seekbar seekbar(context.platform.window, state.seekbar);
  seekbar.SetPosition(0);
  seekbar.SetEnabled(false);
  long long length =
      LengthSeconds(context.platform.audio, state.current_channel);
  if (length < 0) return;
  seekbar.SetEnabled(true);
  seekbar.SetRange(static_cast<int>(length));
}

void SeekTo(Context& context, const PlaybackState& state, int seconds) {
  AudioLibrary& audio = context.platform.audio;
  uint64_t bytes = audio.ChannelSeconds2Bytes(state.current_channel, seconds);
  audio.ChannelSetPosition(state.current_channel, bytes, 0);
  // The caption may be waiting for the old position's next second.
  context.platform.loop.SetTimerNextTick("Time", 0);
  context.platform.now_playing.Seeked();
}

void SeekbarMouseDown(Context& context, PlaybackState& state, int x, int width,
                      bool shift) {
  Seekbar seekbar(context.platform.window, state.seekbar);
  if (!seekbar.Enabled() || width <= 4) return;
  // nearbyint rounds halves to even, as the bar's own rounding does.
  double scaled = static_cast<double>(x) * seekbar.Max() / (width - 4);
  seekbar.SetPosition(static_cast<int>(std::nearbyint(scaled)));
  int value = seekbar.Position();
  if (shift) {
    state.volume_level = value;
    ApplyVolume(context.platform.audio, value);
    context.platform.window.SetCaption(VolumeCaption(context, value));
    context.settings.WriteInt("settings", "volume", value);
  } else {
    SeekTo(context, state, value);
  }
}

}  // namespace kivo
