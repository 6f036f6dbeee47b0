#include "core/playback/recording.h"

#include "core/playback/playback_controller.h"
#include "core/playback/stream_title.h"
#include "core/playlist/entry_names.h"

namespace kivo {

std::string RecordFilter(const std::string& format_name) {
  const char* description = "Radio Stream";
  if (ShowsStreamTitles(format_name)) {
    description = "SHOUTcast Stream";
  } else if (format_name == "ogg") {
    description = "Icecast Stream";
  }
  return std::string(description) + "|*." + format_name + "|";
}

StreamRecorder::~StreamRecorder() {
  std::lock_guard lock(mutex_);
  EndLocked();
}

void StreamRecorder::Arm(const std::string& path, uint64_t generation) {
  std::lock_guard lock(mutex_);
  EndLocked();
  active_ = true;
  generation_ = generation;
  path_ = path;
}

bool StreamRecorder::Active() const {
  std::lock_guard lock(mutex_);
  return active_;
}

bool StreamRecorder::End() {
  std::lock_guard lock(mutex_);
  return EndLocked();
}

bool StreamRecorder::EndLocked() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  bool was_active = active_;
  active_ = false;
  return was_active;
}

bool StreamRecorder::WriteLocked(const void* data, size_t length) {
  if (!file_) file_ = std::fopen(path_.c_str(), "wb");
  if (!file_) return false;
  if (!data) return true;
  return std::fwrite(data, 1, length, file_) == length &&
         std::fflush(file_) == 0;
}

void StreamRecorder::OnBlock(uint64_t generation, const void* data,
                             size_t length) {
  std::string failed_path;
  {
    std::lock_guard lock(mutex_);
    if (!active_ || generation != generation_) return;
    if (!WriteLocked(data, length)) {
      failed_path = path_;
      EndLocked();
    } else if (!data) {
      EndLocked();
    }
  }
  if (!failed_path.empty() && on_failure_) on_failure_(failed_path);
}

bool PlaybackController::RecordAllowed() const {
  const PlaylistModel& model = state_.playlist;
  return ChannelState() == AudioLibrary::kActivePlaying &&
         model.playing_index >= 0 && model.playing_index < model.Count() &&
         IsNetworkStream(model.file_list[model.playing_index]) &&
         !recorder_->Active();
}

void PlaybackController::StartRecording() {
  if (recorder_->Active()) return;
  std::string ext = FormatName(context_.platform.audio, Channel());
  int filter_index = 1;
  std::optional<std::string> path = context_.platform.dialogs.SaveFile(
      std::string(), RecordFilter(ext), ext, &filter_index);
  if (path) recorder_->Arm(*path, playback().open_generation);
}

void PlaybackController::RecordHotkey() {
  // The hotkey follows the menu's rule: with no stream playing there is
  // nothing to record, and Stop would report a file that was never written.
  if (RecordAllowed()) StartRecording();
}

void PlaybackController::RecordingFailed(const std::string& path) {
  context_.platform.loop.Post([this, path] {
    context_.ShowMessage(
        context_.Text("strings", "RecordFailed", "Unable to write to") + " " +
        path);
  });
}

}  // namespace kivo
