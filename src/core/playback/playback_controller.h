#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/platform/shell_events.h"
#include "core/playback/playback_hooks.h"
#include "core/playback/playback_state.h"
#include "core/playback/recording.h"

namespace kivo {

// Play modes as stored in `Mode`; 0 when no mode item is checked.
enum PlayMode : int {
  kNoPlayMode = 0,
  kShuffle = 1,
  kRepeat = 2,
  kNoRepeat = 3,
  kRepeatAll = 4
};

// A uniform integer in low..high (both included). Tests inject a seeded one.
using RandomInt = std::function<int(int low, int high)>;

// Turns a request to play an entry into a playing channel and decides what
// plays next. The channel is created on the `kivo-open` worker; everything
// else, the engine's end and meta syncs included, happens on the GUI thread
// (the syncs only post). The download callback runs on the engine's download
// thread and touches only the recorder.
class PlaybackController {
 public:
  PlaybackController(Context& context, PlayerState& state);

  PlaybackHooks& hooks() { return hooks_; }
  void SetRandom(RandomInt random) { random_ = std::move(random); }

  // Starts the entry at the playing index.
  void PlayEntry();
  void PlayPause();
  void StopPlayback();
  void NextEntry();
  void PreviousEntry();
  void ShuffleNext();
  // The end of the playing stream: the queue first, then the checked mode.
  void StreamEndAdvance();
  // Checks the mode's item in both menus and writes `Mode`. Throws
  // SettingsWriteError.
  void SetPlayMode(int mode);
  int CheckedPlayMode() const;

  // The playlist menu's Play: the selected line, or pause/resume when it is
  // the playing one (restarted when its channel has stopped).
  void PlaylistPlay();
  // The tray's Play and the Play hotkey, by the channel's state.
  void TrayPlay();

  // Last.fm's share of a local track that opened: counters reset, start time
  // taken, the play-time count on, the now-playing notification started.
  void LastFmHandOver();
  // Titles of network streams (null: no metadata).
  void ApplyStreamTitle(const std::optional<std::string>& metadata);

  // Record1/Record2: the save dialog, then the next downloaded blocks.
  void StartRecording();
  // The Record hotkey: only while a network stream plays, as the menu.
  void RecordHotkey();
  // The menu's rule for "Record".
  bool RecordAllowed() const;
  bool RecordingActive() const { return recorder_->Active(); }

  int ChannelState() const;
  // An entry was started and its channel is still being opened.
  bool OpenPending() const;
  // For the desktop's media controls.
  PlayerStatus Status() const;
  // Moves a playing or paused channel of known length (clamped to it).
  void SeekToSeconds(double seconds);

 private:
  AudioLibrary::Handle Channel() const {
    return state_.playback.current_channel;
  }
  PlaybackState& playback() { return state_.playback; }
  void OpenAndPlay(const std::string& location, uint64_t generation);
  void ChannelOpened(const std::string& location, uint64_t generation,
                     AudioLibrary::Handle channel, bool network);
  void StartNetworkStream(AudioLibrary::Handle channel);
  void StartLocalTrack(AudioLibrary::Handle channel);
  void SetEndSync(AudioLibrary::Handle channel);
  void FreeChannel(AudioLibrary::Handle channel);
  void ShowBalloonIfPending();
  void SendNowPlaying(const std::string& text, bool enabled);
  void SetTimer(const char* name, bool enabled);
  // Enables the `Time` timer and has it show the position at once.
  void ShowTimeNow();
  void CountPlayTime(bool counting);
  // The queue's next entry starts; false when the queue is empty.
  bool PlayFromQueue();
  // Plays the last line holding location (unchanged index when none).
  void PlayLastLineOf(const std::string& location, bool select);
  void RefillShufflePool();
  void RecordingFailed(const std::string& path);

  Context& context_;
  PlayerState& state_;
  PlaybackHooks hooks_;
  RandomInt random_;
  // Shared with the download callbacks of the channels it outlives.
  std::shared_ptr<StreamRecorder> recorder_;
};

}  // namespace kivo
