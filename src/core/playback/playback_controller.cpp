#include "core/playback/playback_controller.h"

#include "core/playlist/entry_names.h"
#include "core/playlist/tag_title.h"

namespace kivo {

void PlaybackController::PlayEntry() {
  if (model_.playing_index == -1) {
    if (model_.Empty()) return;
    model_.playing_index = 0;
  }
  if (model_.playing_index >= model_.Count()) return;
  MainWindow& window = context_.platform.window;
  AudioLibrary& audio = context_.platform.audio;
  window.PlaylistChanged();
  audio.ChannelRemoveSync(state_.current_channel, state_.end_sync);
  const std::string location = model_.file_list[model_.playing_index];
  if (!IsNetworkStream(location)) {
    model_.lines[model_.playing_index] = BaseTitle(location);
  }
  std::string title = TagTitle(context_, location);
  context_.menus.SetCaption("PlayingSong", title);
  context_.platform.tray.SetTooltip(title);
  FreeChannel(state_.current_channel);
  state_.current_channel = 0;
  uint64_t generation = ++state_.open_generation;
  context_.platform.loop.RunAsync(
      "kivo-open", [this, location, generation] {
        OpenAndPlay(location, generation);
      });
}

int PlaybackController::ChannelState() const {
  return context_.platform.audio.ChannelIsActive(state_.current_channel);
}

void PlaybackController::OpenAndPlay(const std::string& location,
                                     uint64_t generation) {
  AudioLibrary& audio = context_.platform.audio;
  AudioLibrary::Handle channel =
      audio.StreamCreateUrl(location, 0, AudioLibrary::kStreamBlock, nullptr);
  if (!channel) channel = audio.StreamCreateFile(location, 0, 0, 0);
  if (!channel) {
    channel = audio.MusicLoad(
        location, 0, 0, AudioLibrary::kMusicPrescan | AudioLibrary::kMusicRamp,
        0);
  }
  context_.platform.loop.Post([this, location, generation, channel] {
    ChannelOpened(location, generation, channel);
  });
}

void PlaybackController::ChannelOpened(const std::string& location,
                                       uint64_t generation,
                                       AudioLibrary::Handle channel) {
  if (generation != state_.open_generation) {
    // A newer entry was started meanwhile: this channel never plays.
    FreeChannel(channel);
    return;
  }
  state_.current_channel = channel;
  int index = model_.playing_index;
  if (!channel) {
    if (index >= 0 && index < model_.Count()) {
      model_.lines[index] =
          "[" + context_.Text("strings", "03", "Error") + "] " + location;
      context_.platform.window.PlaylistChanged();
    }
    return;
  }
  if (index >= 0) context_.platform.window.SelectLine(index);
  context_.platform.audio.ChannelPlay(channel, true);
}

void PlaybackController::FreeChannel(AudioLibrary::Handle channel) {
  if (!channel) return;
  context_.platform.audio.StreamFree(channel);
  context_.platform.audio.MusicFree(channel);
}

}  // namespace kivo
