#include "core/ui/shell_wiring.h"

#include "core/ui/about.h"
#include "core/ui/tag_info.h"
#include "core/ui/window_modes.h"

namespace kivo {

void WireShellMenus(Context& context, PlayerState& state) {
  WireWindowModes(context, state);
  MenuModel& menus = context.menus;
  menus.OnClick("About1", [&context] { ShowAbout(context); });
  menus.OnClick("Donate1", [&context] { OpenDonationPage(context); });
  menus.OnClick("PlayingSong", [&context] { CopyPlayingTitle(context); });
  menus.OnClick("tags1", [&context, &state] { ShowTagWindow(context, state); });
}

}  // namespace kivo
