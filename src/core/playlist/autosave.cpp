#include "core/playlist/autosave.h"

#include "core/util/atomic_file.h"

namespace kivo {

void AutosavePlaylist(Context& context, const PlaylistModel& model) {
  context.autosave.Request(model.file_list);
}

void RestorePlaylist(Context& context, PlaylistModel& model,
                     PlaylistFiles& files) {
  std::string path =
      context.settings.ReadSettingText("settings", "LastPlayed", "");
  if (!path.empty() && FileExists(path)) {
    files.LoadByExtension(path, true);
    return;
  }
  model.Clear();
  context.platform.window.PlaylistChanged();
}

void ForgetPlaylistIfNotRemembered(Context& context) {
  if (!context.menus.Checked("RememberPlaylist1")) {
    context.settings.WriteText("settings", "LastPlayed", "");
  }
}

}  // namespace kivo
