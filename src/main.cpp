// The composition root: finds the program folder, hands the arguments to a
// running instance or builds the engine and the desktop, gives them to the
// core and runs the event loop.
#include <cstdio>
#include <string>
#include <vector>

#include "core/app/expand_argument.h"
#include "core/app/player.h"
#include "core/app/program_dir.h"
#include "desktop/integrations/curl_http_client.h"
#include "desktop/integrations/mpris_now_playing.h"
#include "desktop/integrations/session_hotkeys.h"
#include "desktop/integrations/xdg_associations.h"
#include "desktop/shell/desktop_shell.h"
#include "desktop/shell/unix_instance_link.h"
#include "desktop/shell/window_platform.h"
#include "engine/engine.h"

namespace {

struct Start {
  std::vector<std::string> arguments;
  std::string executable;
  std::string program_dir;
  kivo::ShippedFolders shipped;
  std::string cwd;
  std::string hand_off;
};

Start PrepareStart(int argc, char** argv) {
  Start start;
  start.arguments.assign(argv + 1, argv + argc);
  start.executable = kivo::CurrentExecutablePath();
  start.program_dir = kivo::ResolveProgramDir(start.executable).path;
  start.shipped = kivo::FindShippedFolders(start.executable);
  start.cwd = kivo::CurrentDirectory();
  start.hand_off = kivo::BuildHandOffText(start.arguments, start.cwd);
  return start;
}

int RunPlayer(const Start& start, kivo::desktop::UnixInstanceLink& link,
              int& argc, char** argv) {
  kivo::desktop::PreferX11Window();
  kivo::desktop::PaintWithoutSharedMemory();
  kivo::desktop::DesktopShell shell(argc, argv);
  kivo::engine::Engine audio;
  kivo::desktop::CurlHttpClient http;
  kivo::desktop::SessionHotkeys hotkeys;
  kivo::desktop::MprisNowPlaying now_playing(nullptr);
  kivo::desktop::XdgAssociations associations(start.executable);
  kivo::Platform platform{audio,
                          shell.event_loop(),
                          shell.main_window(),
                          shell.tray(),
                          shell.dialogs(),
                          shell.desktop_services(),
                          http,
                          hotkeys,
                          now_playing,
                          associations,
                          shell.search_windows(),
                          shell.tag_window()};
  kivo::Player player(platform, start.program_dir, start.shipped);
  shell.Attach(&player, &player);
  hotkeys.SetShellEvents(&player);
  now_playing.SetShellEvents(&player);
  if (!link.Listen(
          [&player](const std::string& text) { player.HandOffReceived(text); },
          [&player](kivo::InstanceLink::Release release) {
            player.WhenHandOffStored(std::move(release));
          })) {
    // Another instance won the start race: it takes the files instead.
    if (link.HandOff(start.hand_off)) return 0;
    std::fprintf(stderr, "kivo-player: another instance does not answer\n");
    return 1;
  }
  if (!player.Startup(start.arguments, start.cwd)) return 1;
  return shell.Run();
}

}  // namespace

int main(int argc, char** argv) {
  Start start = PrepareStart(argc, argv);
  kivo::desktop::UnixInstanceLink link(start.program_dir);
  if (link.HandOff(start.hand_off)) return 0;
  return RunPlayer(start, link, argc, argv);
}
