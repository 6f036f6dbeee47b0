#include "core/playback/stream_title.h"

#include <utility>

#include "core/playback/playback_controller.h"

namespace kivo {

std::string FormatName(AudioLibrary& audio, AudioLibrary::Handle channel) {
  AudioLibrary::ChannelInfo info;
  if (!audio.ChannelGetInfo(channel, &info)) return std::string();
  for (auto [ctype, name] : {std::pair{AudioLibrary::kCTypeStreamMp3, "mp3"},
                             {AudioLibrary::kCTypeStreamMp2, "mp2"},
                             {AudioLibrary::kCTypeStreamMp1, "mp1"},
                             {AudioLibrary::kCTypeStreamOgg, "ogg"},
                             {AudioLibrary::kCTypeStreamWav, "wav"},
                             {AudioLibrary::kCTypeMusicMod, "mod"},
                             {AudioLibrary::kCTypeMusicMtm, "mtm"},
                             {AudioLibrary::kCTypeMusicS3m, "s3m"},
                             {AudioLibrary::kCTypeMusicXm, "xm"},
                             {AudioLibrary::kCTypeMusicIt, "it"},
                             {AudioLibrary::kCTypeMusicMo3, "mo3"}}) {
    if (info.ctype == ctype) return name;
  }
  return std::string();
}

bool ShowsStreamTitles(const std::string& format_name) {
  return format_name == "mp3" || format_name == "mp2" || format_name == "mp1";
}

std::optional<std::string> StreamTitleOf(std::string_view metadata) {
  metadata = metadata.substr(0, metadata.find('\0'));
  constexpr std::string_view kKey = "StreamTitle=";
  size_t key = metadata.find(kKey);
  if (key == std::string_view::npos) return std::nullopt;
  size_t start = key + kKey.size();
  if (start < metadata.size() && metadata[start] == '\'') ++start;
  size_t end = metadata.find("';", start);
  if (end == std::string_view::npos) {
    end = metadata.rfind('\'');
    if (end == std::string_view::npos || end < start) end = metadata.size();
  }
  return std::string(metadata.substr(start, end - start));
}

void PlaybackController::ApplyStreamTitle(
    const std::optional<std::string>& metadata) {
  if (!metadata) return;
  if (!ShowsStreamTitles(FormatName(context_.platform.audio, Channel()))) {
    return;
  }
  std::optional<std::string> title = StreamTitleOf(*metadata);
  if (!title) return;
  PlaylistModel& model = state_.playlist;
  if (model.playing_index >= 0 && model.playing_index < model.Count()) {
    model.SetLine(model.playing_index, "[S] " + *title);
    context_.platform.window.PlaylistChanged();
  }
  // Unlike a started entry, a stream title is shown without "&" doubling.
  context_.menus.SetCaption("PlayingSong", *title);
  playback().title = *title;
  SendNowPlaying(*title, context_.menus.Checked("MSNSong1"));
  context_.platform.tray.SetTooltip(*title);
}

}  // namespace kivo
