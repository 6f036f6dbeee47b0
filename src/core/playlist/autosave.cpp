#include "core/playlist/autosave.h"

#include "core/playlist/kpp_format.h"
#include "core/util/atomic_file.h"

namespace kivo {

void AutosavePlaylist(Context& context, const PlaylistModel& model) {
  const std::string path = context.program_dir + "temp.tmp";
  if (!WriteFileAtomically(path, FormatKpp(model.file_list))) return;
  try {
    context.settings.WriteText("settings", "LastPlayed", path);
  } catch (const SettingsWriteError&) {
    // The autosave never bothers the user; the next one tries again.
  }
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
