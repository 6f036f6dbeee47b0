#include "desktop/shell/desktop_shell.h"

#include <QApplication>
#include <QDialog>
#include <QSessionManager>
#include <QThread>
#include <QTimer>
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
#include "desktop/shell/session_signals.h"

namespace kivo::desktop {
namespace {

constexpr int kWorkerGraceMs = 3000;
// How often, and how many times, a session end waits for dialogs and menus
// to unwind before it closes the window anyway.
constexpr int kEndRetryMs = 50;
constexpr int kEndRetries = 40;

// Dismisses the open popup menu and modal dialog as a cancel would.
void DismissNestedLoops() {
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  QWidget* modal = QApplication::activeModalWidget();
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    dialog->reject();
  } else if (modal != nullptr) {
    modal->close();
  }
}

}  // namespace

DesktopShell::DesktopShell(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)),
      loop_(std::make_unique<QtEventLoop>()),
      window_(std::make_unique<QtMainWindow>()),
      tray_(std::make_unique<QtTray>(window_.get())),
      dialogs_(std::make_unique<QtDialogs>(window_.get())),
      services_(std::make_unique<QtDesktopServices>()),
      search_windows_(std::make_unique<QtSearchWindowFactory>(window_.get())),
      tag_window_(std::make_unique<QtTagWindow>(window_.get())),
      signals_(std::make_unique<SessionSignals>([this] {
        end_requested_ = true;
        // Before the loop runs (the start's own prompt), the dialog goes and
        // Run takes the end up.
        if (running_) {
          EndSessionBySignal();
        } else {
          DismissNestedLoops();
        }
      })) {
  QApplication::setApplicationName(QStringLiteral("kivo-player"));
  // No display name: Qt would append it to every window title, and the
  // captions are exactly the texts the player sets.
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

void DesktopShell::EndSessionBySignal() {
  // A dialog or menu runs a loop of its own: the command that opened it
  // finishes (as cancelled) before the window goes.
  if (QThread::currentThread()->loopLevel() > 1 &&
      end_retries_++ < kEndRetries) {
    DismissNestedLoops();
    QTimer::singleShot(kEndRetryMs, app_.get(),
                       [this] { EndSessionBySignal(); });
    return;
  }
  if (events_ != nullptr) events_->EndSession();
  window_->close();
}

int DesktopShell::Run() {
  running_ = true;
  if (!loop_->quit_requested()) window_->show();
  // A signal during the start is taken up once the loop runs.
  if (end_requested_) {
    QTimer::singleShot(0, app_.get(), [this] { EndSessionBySignal(); });
  }
  const int exit_code = loop_->Exec();
  if (!loop_->WaitForWorkers(kWorkerGraceMs)) {
    std::fflush(nullptr);
    std::_Exit(exit_code);
  }
  return exit_code;
}

}  // namespace kivo::desktop
