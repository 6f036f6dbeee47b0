#include "core/playlist/playlist_commands.h"

#include "core/playlist/history.h"
#include "core/playlist/search_window.h"

namespace kivo {

void PlaylistCommands::WireMenus() {
  MenuModel& menus = context_.menus;
  menus.OnClick("AddMedia", [this] { adder_.AddMediaClick(); });
  menus.OnClick("AddUrl", [this] { adder_.AddUrlClick(); });
  menus.OnClick("AddDirectory", [this] { adder_.AddDirectoryClick(); });
  menus.OnClick("OpenFolder1", [this] { adder_.OpenFolder1Click(); });
  menus.OnClick("Refresh1", [this] { adder_.Refresh1Click(); });
  menus.OnClick("Clear", [this] { editor_.ClearClick(); });
  menus.OnClick("Remove", [this] { editor_.RemoveClick(); });
  menus.OnClick("LoadPlaylist", [this] { files_.LoadPlaylistClick(); });
  menus.OnClick("SavePlaylist", [this] { files_.SavePlaylistClick(); });
  menus.OnClick("Queue1", [this] {
    queue_.QueueToggle(context_.platform.window.SelectedLine());
    context_.platform.window.PlaylistChanged();
  });
  menus.OnClick("Search1", [this] { OpenSearchWindow(); });
  menus.OnClick("History2",
                [this] { History(context_, state_).History2Click(); });
}

bool PlaylistCommands::OpenSearchWindow() {
  return kivo::OpenSearchWindow(context_, state_, queue_, hooks_);
}

}  // namespace kivo
