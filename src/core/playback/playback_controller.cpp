#include "core/playback/playback_controller.h"

#include <atomic>
#include <chrono>
#include <random>

#include "core/playback/seekbar.h"
#include "core/playback/time_display.h"
#include "core/playlist/entry_names.h"
#include "core/playlist/tag_title.h"
#include "core/util/text.h"

namespace kivo {
namespace {

// Reseeded from the high-resolution clock at every draw.
int ClockSeededRandom(int low, int high) {
  std::mt19937 generator(static_cast<uint32_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
  return std::uniform_int_distribution<int>(low, high)(generator);
}

}  // namespace

PlaybackController::PlaybackController(Context& context, PlayerState& state)
    : context_(context),
      state_(state),
      random_(ClockSeededRandom),
      recorder_(std::make_shared<StreamRecorder>(
          [this](const std::string& path) { RecordingFailed(path); })) {}

int PlaybackController::ChannelState() const {
  return context_.platform.audio.ChannelIsActive(Channel());
}

void PlaybackController::SetTimer(const char* name, bool enabled) {
  context_.platform.loop.SetTimerEnabled(name, enabled);
}

void PlaybackController::ShowTimeNow() {
  SetTimer("Time", true);
  // It may be resting from a track that ended or was paused.
  context_.platform.loop.SetTimerNextTick("Time", 0);
}

void PlaybackController::CountPlayTime(bool counting) {
  if (hooks_.count_play_time) hooks_.count_play_time(counting);
}

void PlaybackController::SendNowPlaying(const std::string& text, bool enabled) {
  if (hooks_.send_now_playing) hooks_.send_now_playing(text, enabled);
}

void PlaybackController::PlayEntry() {
  PlaylistModel& model = state_.playlist;
  if (model.playing_index == -1) {
    if (model.Empty()) return;
    model.playing_index = 0;
  }
  if (model.playing_index < 0 || model.playing_index >= model.Count()) return;
  if (hooks_.unqueue_started) hooks_.unqueue_started();
  context_.platform.window.PlaylistChanged();
  context_.platform.audio.ChannelRemoveSync(Channel(), playback().end_sync);
  const std::string location(model.file_list[model.playing_index]);
  if (!IsNetworkStream(location)) {
    model.SetLine(model.playing_index, BaseTitle(location));
  }
  std::string title = TagTitle(context_, location);
  playback().title = title;
  context_.menus.SetCaption("PlayingSong", ReplaceAll(title, "&", "&&"));
  context_.platform.tray.SetTooltip(ReplaceAll(title, "&", "&&&"));
  SendNowPlaying(model.Line(model.playing_index),
                 context_.menus.Checked("MSNSong1"));
  FreeChannel(Channel());
  playback().current_channel = 0;
  playback().end_sync = 0;
  recorder_->End();
  ShowBalloonIfPending();
  uint64_t generation = ++playback().open_generation;
  context_.platform.loop.RunAsync("kivo-open", [this, location, generation] {
    OpenAndPlay(location, generation);
  });
}

void PlaybackController::ShowBalloonIfPending() {
  const MenuItem& option = context_.menus.Item("ShowBalloonHints1");
  if (!option.checked || !option.enabled || !playback().balloon_pending) {
    return;
  }
  playback().balloon_pending = false;
  int seconds = static_cast<int>(
      context_.settings.ReadSettingInt("settings", "BalloonHintTimeOut", 10));
  const PlaylistModel& model = state_.playlist;
  context_.platform.tray.ShowBalloon(
      context_.Text("tray", "01", "Now Playing:"),
      model.Line(model.playing_index), seconds);
}

// Worker thread: only the channel is created here.
void PlaybackController::OpenAndPlay(const std::string& location,
                                     uint64_t generation) {
  AudioLibrary& audio = context_.platform.audio;
  std::shared_ptr<StreamRecorder> recorder = recorder_;
  AudioLibrary::Handle channel = audio.StreamCreateUrl(
      location, 0, AudioLibrary::kStreamBlock,
      [recorder, generation](const void* data, size_t length) {
        recorder->OnBlock(generation, data, length);
      });
  bool network = channel != 0;
  if (!channel) channel = audio.StreamCreateFile(location, 0, 0, 0);
  if (!channel) {
    channel = audio.MusicLoad(
        location, 0, 0, AudioLibrary::kMusicPrescan | AudioLibrary::kMusicRamp,
        0);
  }
  context_.platform.loop.Post([this, location, generation, channel, network] {
    ChannelOpened(location, generation, channel, network);
  });
}

bool PlaybackController::OpenPending() const {
  return state_.playback.arrived_generation != state_.playback.open_generation;
}

void PlaybackController::ChannelOpened(const std::string& location,
                                       uint64_t generation,
                                       AudioLibrary::Handle channel,
                                       bool network) {
  if (generation != playback().open_generation) {
    // A newer entry was started meanwhile: this channel never plays.
    FreeChannel(channel);
    return;
  }
  playback().arrived_generation = generation;
  playback().current_channel = channel;
  PlaylistModel& model = state_.playlist;
  // A channel that will not start (the output device would not open) fails
  // as one that would not open; a later Play tries again.
  bool started = channel && context_.platform.audio.ChannelPlay(channel, true);
  if (started && network) {
    StartNetworkStream(channel);
  } else if (started) {
    StartLocalTrack(channel);
  } else {
    SetTimer("Time", false);
    if (model.playing_index >= 0 && model.playing_index < model.Count()) {
      model.SetLine(
          model.playing_index,
          "[" + context_.Text("strings", "03", "Error") + "] " + location);
      context_.platform.window.PlaylistChanged();
    }
  }
  ResetSeekbar(context_, playback());
  context_.platform.now_playing.StatusChanged();
}

void PlaybackController::StartNetworkStream(AudioLibrary::Handle channel) {
  AudioLibrary& audio = context_.platform.audio;
  ShowTimeNow();
  SetEndSync(channel);
  EventLoop& loop = context_.platform.loop;
  // A station may change its title with every block, thousands a second: one
  // update waits on the GUI thread at most, and it reads the latest title.
  auto update_posted = std::make_shared<std::atomic<bool>>(false);
  audio.ChannelSetSync(
      channel, AudioLibrary::kSyncMeta, 0,
      [this, &loop, update_posted](AudioLibrary::Handle,
                                   AudioLibrary::Handle synced, uint32_t) {
        if (update_posted->exchange(true)) return;
        loop.Post([this, synced, update_posted] {
          update_posted->store(false);
          if (synced != Channel()) return;
          ApplyStreamTitle(context_.platform.audio.ChannelGetTags(
              synced, AudioLibrary::kTagMeta));
        });
      });
  ApplyStreamTitle(audio.ChannelGetTags(channel, AudioLibrary::kTagMeta));
}

void PlaybackController::StartLocalTrack(AudioLibrary::Handle channel) {
  ShowTimeNow();
  context_.platform.window.SelectLine(state_.playlist.playing_index);
  LastFmHandOver();
  SetEndSync(channel);
}

void PlaybackController::SetEndSync(AudioLibrary::Handle channel) {
  EventLoop& loop = context_.platform.loop;
  playback().end_sync = context_.platform.audio.ChannelSetSync(
      channel, AudioLibrary::kSyncEnd, 0,
      [this, &loop](AudioLibrary::Handle, AudioLibrary::Handle ended,
                    uint32_t) {
        // An end that arrives after the next entry started is not ours.
        loop.Post([this, ended] {
          if (ended == Channel()) StreamEndAdvance();
        });
      });
}

void PlaybackController::LastFmHandOver() {
  state_.played_seconds = 0;
  state_.track_played = false;
  state_.track_start_time =
      std::chrono::duration_cast<std::chrono::seconds>(
          std::chrono::system_clock::now().time_since_epoch())
          .count();
  CountPlayTime(true);
  if (hooks_.scrobble_now_playing) hooks_.scrobble_now_playing();
}

void PlaybackController::FreeChannel(AudioLibrary::Handle channel) {
  if (!channel) return;
  context_.platform.audio.StreamFree(channel);
  context_.platform.audio.MusicFree(channel);
}

void PlaybackController::PlayPause() {
  AudioLibrary& audio = context_.platform.audio;
  if (ChannelState() == AudioLibrary::kActivePaused) {
    audio.ChannelPlay(Channel(), false);
    CountPlayTime(true);
    // The timer may be resting; while the volume shows it stays off.
    context_.platform.loop.SetTimerNextTick("Time", 0);
  } else {
    audio.ChannelPause(Channel());
    CountPlayTime(false);
  }
  context_.platform.now_playing.StatusChanged();
}

void PlaybackController::StopPlayback() {
  // Stop wins over an open still under way: its channel is freed on arrival.
  if (OpenPending())
    playback().arrived_generation = ++playback().open_generation;
  context_.platform.audio.ChannelStop(Channel());
  SetTimer("Time", false);
  context_.platform.window.SetCaption(kPlayerName);
  context_.platform.tray.SetTooltip(kPlayerName);
  Seekbar seekbar(context_.platform.window, playback().seekbar);
  seekbar.SetPosition(0);
  seekbar.SetEnabled(false);
  SendNowPlaying(std::string(), false);
  CountPlayTime(false);
  state_.played_seconds = 0;
  state_.track_played = false;
  context_.platform.now_playing.StatusChanged();
  if (recorder_->End()) {
    context_.ShowMessage(context_.Text("strings", "04", "Successfully Saved!"));
  }
}

void PlaybackController::PlaylistPlay() {
  int selected = context_.platform.window.SelectedLine();
  if (selected != state_.playlist.playing_index) {
    state_.playlist.playing_index = selected;
    PlayEntry();
  } else if (ChannelState() == AudioLibrary::kActiveStopped) {
    // A stopped current line starts again, as the tray's Play does.
    PlayEntry();
  } else {
    PlayPause();
  }
}

void PlaybackController::TrayPlay() {
  switch (ChannelState()) {
    case AudioLibrary::kActiveStopped:
      PlayEntry();
      break;
    case AudioLibrary::kActivePlaying:
    case AudioLibrary::kActivePaused:
      PlayPause();
      break;
    default:
      break;  // stalled: the stream is still buffering
  }
}

}  // namespace kivo
