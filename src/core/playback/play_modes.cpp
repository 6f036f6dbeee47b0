#include <string>
#include <vector>

#include "core/playback/playback_controller.h"
#include "core/util/atomic_file.h"
#include "core/util/text.h"

namespace kivo {
namespace {

struct ModeItems {
  int mode;
  const char* playlist_item;
  const char* tray_item;
};

constexpr ModeItems kModeItems[] = {{kShuffle, "Shuffle1", "Shuffle2"},
                                    {kRepeat, "Repeat1", "Repeat2"},
                                    {kNoRepeat, "NoRepeat1", "NoRepeat2"},
                                    {kRepeatAll, "RepeatAll1", "RepeatAll2"}};

}  // namespace

int PlaybackController::CheckedPlayMode() const {
  for (const ModeItems& items : kModeItems) {
    if (context_.menus.Checked(items.playlist_item)) return items.mode;
  }
  return kNoPlayMode;
}

void PlaybackController::SetPlayMode(int mode) {
  for (const ModeItems& items : kModeItems) {
    if (items.mode != mode) continue;
    context_.menus.SetChecked(items.playlist_item, true);
    context_.menus.SetChecked(items.tray_item, true);
  }
  context_.settings.WriteInt("settings", "Mode", mode);
}

bool PlaybackController::PlayFromQueue() {
  if (state_.queue_list.empty() || !hooks_.pop_queue) return false;
  state_.playlist.playing_index = hooks_.pop_queue();
  PlayEntry();
  return true;
}

void PlaybackController::StreamEndAdvance() {
  playback().balloon_pending = true;
  if (hooks_.submit_played) hooks_.submit_played();
  PlaylistModel& model = state_.playlist;
  if (!PlayFromQueue() && !model.Empty()) {
    switch (CheckedPlayMode()) {
      case kShuffle:
        ShuffleNext();
        break;
      case kRepeat:
        PlayEntry();
        break;
      case kNoRepeat:
        if (!model.IsLast(model.playing_index)) {
          ++model.playing_index;
          PlayEntry();
        }
        break;
      case kRepeatAll:
        model.playing_index =
            model.IsLast(model.playing_index) ? 0 : model.playing_index + 1;
        PlayEntry();
        break;
      default:
        break;
    }
  }
  // Only the start this end caused gets the balloon, not a later one by hand.
  playback().balloon_pending = false;
  // The end of the last line stops without any command.
  context_.platform.now_playing.StatusChanged();
}

void PlaybackController::NextEntry() {
  if (PlayFromQueue()) return;
  if (CheckedPlayMode() == kShuffle) {
    ShuffleNext();
    return;
  }
  PlaylistModel& model = state_.playlist;
  if (model.IsLast(model.playing_index)) return;
  ++model.playing_index;
  PlayEntry();
}

void PlaybackController::PreviousEntry() {
  if (state_.playlist.playing_index <= 0) return;
  --state_.playlist.playing_index;
  PlayEntry();
}

void PlaybackController::RefillShufflePool() { state_.playlist.RefillPool(); }

void PlaybackController::PlayLastLineOf(const std::string& location,
                                        bool select) {
  PlaylistModel& model = state_.playlist;
  for (int index = model.Count() - 1; index >= 0; --index) {
    if (!EqualsIgnoreCase(model.file_list[index], location)) continue;
    model.playing_index = index;
    if (select) context_.platform.window.SelectLine(index);
    break;
  }
  PlayEntry();
}

void PlaybackController::ShuffleNext() {
  PlaylistModel& model = state_.playlist;
  if (model.Empty()) return;
  if (model.Count() == 1) {
    model.playing_index = 0;
    PlayEntry();
    return;
  }
  if (model.PoolSize() == 0) RefillShufflePool();
  // Position 0 is never drawn: the first location ends its cycle. Missing
  // files (and network locations, which are no files) leave the pool.
  while (model.PoolSize() > 1) {
    int k = random_(1, model.PoolSize() - 1);
    if (!FileExists(std::string(model.PoolLocation(k)))) {
      model.PoolErase(k);
      continue;
    }
    std::string location(model.PoolLocation(k));
    model.PoolErase(k);
    PlayLastLineOf(location, true);
    return;
  }
  // The last of the cycle plays, and a new cycle begins.
  std::string last(model.PoolLocation(0));
  PlayLastLineOf(last, false);
  RefillShufflePool();
}

}  // namespace kivo
