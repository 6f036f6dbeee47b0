#pragma once

#include <memory>

#include "core/platform/desktop_services.h"
#include "core/platform/dialogs.h"
#include "core/platform/event_loop.h"
#include "core/platform/main_window.h"
#include "core/platform/playlist_source.h"
#include "core/platform/search_window.h"
#include "core/platform/shell_events.h"
#include "core/platform/tag_window.h"
#include "core/platform/tray.h"

class QApplication;
class QWidget;

namespace kivo::desktop {

class QtDesktopServices;
class QtDialogs;
class QtEventLoop;
class QtMainWindow;
class QtSearchWindowFactory;
class QtTagWindow;
class QtTray;
class SessionSignals;

// The Qt desktop in one piece for the composition root: the application
// object, the loop, the main window and everything hanging off it.
//
//   int argc = ...;  // must outlive the shell
//   DesktopShell shell(argc, argv);
//   ... build the core with shell.event_loop(), shell.main_window(), ...
//   shell.Attach(&core_events, &core_playlist);
//   return shell.Run();
//
// GUI thread only (except EventLoop::Post).
class DesktopShell {
 public:
  DesktopShell(int& argc, char** argv);
  ~DesktopShell();
  DesktopShell(const DesktopShell&) = delete;
  DesktopShell& operator=(const DesktopShell&) = delete;

  EventLoop& event_loop();
  MainWindow& main_window();
  Tray& tray();
  Dialogs& dialogs();
  DesktopServices& desktop_services();
  SearchWindowFactory& search_windows();
  TagWindow& tag_window();
  // For desktop parts that need the window itself (hotkeys, MPRIS).
  QWidget* main_widget();

  // Connects the window and the tray to the core. Call before Run.
  void Attach(ShellEvents* events, const PlaylistSource* source);
  // Shows the main window and runs the loop until EventLoop::Quit or an
  // allowed close; returns the exit code. SIGTERM, SIGINT and SIGHUP end the
  // session: open dialogs and menus are dismissed, then the window closes
  // even with Close To Tray on, and the core's Shutdown runs. Workers still
  // running are given a few seconds; if one is still busy then, the process
  // ends right there with that code, as nothing may be freed under a running
  // worker.
  int Run();

 private:
  std::unique_ptr<QApplication> app_;
  std::unique_ptr<QtEventLoop> loop_;
  std::unique_ptr<QtMainWindow> window_;
  std::unique_ptr<QtTray> tray_;
  std::unique_ptr<QtDialogs> dialogs_;
  std::unique_ptr<QtDesktopServices> services_;
  std::unique_ptr<QtSearchWindowFactory> search_windows_;
  std::unique_ptr<QtTagWindow> tag_window_;
  std::unique_ptr<SessionSignals> signals_;
  ShellEvents* events_ = nullptr;
  bool running_ = false;
  bool end_requested_ = false;
  int end_retries_ = 0;

  void EndSessionBySignal();
};

}  // namespace kivo::desktop
