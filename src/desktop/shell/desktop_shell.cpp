#include "desktop/shell/desktop_shell.h"

#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>

#include "desktop/shell/app_icon.h"
#include "desktop/shell/qt_desktop_services.h"
#include "desktop/shell/qt_dialogs.h"
#include "desktop/shell/qt_event_loop.h"
#include "desktop/shell/qt_main_window.h"
#include "desktop/shell/qt_search_window.h"
#include "desktop/shell/qt_tag_window.h"
#include "desktop/shell/qt_tray.h"

namespace kivo::desktop {
namespace {

constexpr int kWorkerGraceMs = 3000;

}  // namespace

DesktopShell::DesktopShell(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)),
      loop_(std::make_unique<QtEventLoop>()),
      window_(std::make_unique<QtMainWindow>()),
      tray_(std::make_unique<QtTray>(window_.get())),
      dialogs_(std::make_unique<QtDialogs>(window_.get())),
      services_(std::make_unique<QtDesktopServices>()),
      search_windows_(std::make_unique<QtSearchWindowFactory>(window_.get())),
      tag_window_(std::make_unique<QtTagWindow>(window_.get())) {
  QApplication::setApplicationName(QStringLiteral("kivo-player"));
  QApplication::setApplicationDisplayName(QStringLiteral("Kivo Player"));
  QGuiApplication::setDesktopFileName(QStringLiteral("kivo-player"));
  QApplication::setWindowIcon(AppIcon());
  // The window hides into the tray and dialogs come and go: only the core
  // ends the program.
  QApplication::setQuitOnLastWindowClosed(false);
  window_->SetOnClosed([this] { loop_->Quit(0); });
#ifndef QT_NO_SESSIONMANAGER
  QObject::connect(app_.get(), &QGuiApplication::commitDataRequest,
                   [this](QSessionManager&) {
                     if (events_ != nullptr) events_->EndSession();
                   });
#endif
}

DesktopShell::~DesktopShell() = default;

EventLoop& DesktopShell::event_loop() { return *loop_; }
MainWindow& DesktopShell::main_window() { return *window_; }
Tray& DesktopShell::tray() { return *tray_; }
Dialogs& DesktopShell::dialogs() { return *dialogs_; }
DesktopServices& DesktopShell::desktop_services() { return *services_; }
SearchWindowFactory& DesktopShell::search_windows() { return *search_windows_; }
TagWindow& DesktopShell::tag_window() { return *tag_window_; }
QWidget* DesktopShell::main_widget() { return window_.get(); }

void DesktopShell::Attach(ShellEvents* events, const PlaylistSource* source) {
  events_ = events;
  window_->Attach(events, source);
  tray_->SetEvents(events);
}

int DesktopShell::Run() {
  if (!loop_->quit_requested()) window_->show();
  const int exit_code = loop_->Exec();
  if (!loop_->WaitForWorkers(kWorkerGraceMs)) {
    std::fflush(nullptr);
    std::_Exit(exit_code);
  }
  return exit_code;
}

}  // namespace kivo::desktop
