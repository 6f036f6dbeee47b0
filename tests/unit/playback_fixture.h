#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/playlist/entry_names.h"
#include "fakes/player_harness.h"

namespace kivo::testing {

// A started player whose playlist the test fills, with Last.fm's timer in
// place and every hook recorded in one log.
struct PlaybackFixture {
  PlaybackFixture() {
    h.loop.AddTimer("FMTime", 1000, [] {});
    h.Start();
    PlaybackHooks& hooks = playback().hooks();
    hooks.unqueue_started = [this] { log.push_back("unqueue"); };
    hooks.submit_played = [this] { log.push_back("submit"); };
    hooks.scrobble_now_playing = [this] { log.push_back("scrobble"); };
    hooks.send_now_playing = [this](const std::string& text, bool enabled) {
      log.push_back("now:" + text + (enabled ? "+" : "-"));
    };
  }

  PlaybackController& playback() { return h.player->playback(); }
  PlayerState& state() { return h.player->state(); }
  PlaylistModel& model() { return state().playlist; }

  std::string AddEntry(const std::string& name,
                       FakeAudioLibrary::Media media = {}) {
    std::string path = h.AddFile(name, media);
    model().AppendEntry(path, BaseTitle(path), true);
    return path;
  }
  std::string AddStream(const std::string& url, uint32_t ctype,
                        const std::string& meta = "") {
    FakeAudioLibrary::Media media;
    media.kind = FakeAudioLibrary::Media::kUrl;
    media.length_seconds = -1;
    media.ctype = ctype;
    media.meta = meta;
    h.audio.AddMedia(url, media);
    model().AppendEntry(url, "[S] " + url, true);
    return url;
  }
  // An entry whose file does not exist.
  std::string AddMissing(const std::string& name) {
    std::string path = h.dir.File(name);
    model().AppendEntry(path, name, true);
    return path;
  }

  void Play(int index) {
    model().playing_index = index;
    playback().PlayEntry();
    h.loop.Drain();
  }
  void Click(const std::string& item) {
    h.player->MenuItemClicked(item);
    h.loop.Drain();
  }
  AudioLibrary::Handle Current() { return state().playback.current_channel; }
  std::string PlayingLocation() {
    return h.audio.ChannelCopy(Current()).location;
  }
  void EndOfStream() {
    h.audio.FireEnd(Current());
    h.loop.Drain();
  }

  PlayerHarness h;
  std::vector<std::string> log;
};

}  // namespace kivo::testing
