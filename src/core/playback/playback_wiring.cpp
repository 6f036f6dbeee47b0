#include <utility>

#include "core/app/player.h"
#include "core/playback/audio_options.h"
#include "core/playback/time_display.h"
#include "core/playback/volume_meter.h"

namespace kivo {

void Player::WirePlayback() {
  EventLoop& loop = context_.platform.loop;
  loop.AddTimer("Time", kTimeIntervalMs,
                [this] { TimeTimer(context_, state_.playback); });
  loop.AddTimer("VisTime", kVisTimeIntervalMs,
                [this] { LevelMeterTimer(context_, state_.playback); });
  // Both only draw: no wakeups for them while the window is out of sight.
  loop.SetTimerDrawsOnly("Time");
  loop.SetTimerDrawsOnly("VisTime");

  MenuModel& menus = context_.menus;
  PlaybackController& playback = playback_;
  menus.OnClick("Play", [&playback] { playback.PlaylistPlay(); });
  menus.OnClick("Play1", [&playback] { playback.TrayPlay(); });
  for (const char* item : {"Stop", "Stop1"}) {
    menus.OnClick(item, [&playback] { playback.StopPlayback(); });
  }
  for (const char* item : {"Previous", "Previous1"}) {
    menus.OnClick(item, [&playback] { playback.PreviousEntry(); });
  }
  for (const char* item : {"Next", "Next1"}) {
    menus.OnClick(item, [&playback] { playback.NextEntry(); });
  }
  for (const char* item : {"Record1", "Record2"}) {
    menus.OnClick(item, [&playback] { playback.StartRecording(); });
  }
  for (auto [name, mode] : {std::pair{"Shuffle", kShuffle},
                            {"Repeat", kRepeat},
                            {"NoRepeat", kNoRepeat},
                            {"RepeatAll", kRepeatAll}}) {
    for (const char* suffix : {"1", "2"}) {
      menus.OnClick(std::string(name) + suffix,
                    [&playback, mode = mode] { playback.SetPlayMode(mode); });
    }
  }
  menus.OnClick("VolUp1",
                [this] { ChangeVolume(context_, state_.playback, 1); });
  menus.OnClick("VolDown1",
                [this] { ChangeVolume(context_, state_.playback, -1); });
  menus.OnClick("Proxy1", [this] { ProxyClick(context_); });
  menus.OnClick("Ftp1", [this] { FtpClick(context_); });
}

void Player::SeekbarMouseDown(MouseButton button, int x, int width,
                              bool shift) {
  if (button != MouseButton::kLeft) return;
  Guarded([&] {
    kivo::SeekbarMouseDown(context_, state_.playback, x, width, shift);
  });
}

void Player::SeekToSeconds(double seconds) { playback_.SeekToSeconds(seconds); }

void Player::SetVolumeLevel(int volume_0_10000) {
  Guarded([&] { SetVolume(context_, state_.playback, volume_0_10000); });
}

PlayerStatus Player::Status() const { return playback_.Status(); }

}  // namespace kivo
