#include "desktop/shell/qt_main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>

#include "desktop/shell/app_icon.h"
#include "desktop/shell/display_text.h"
#include "desktop/shell/key_map.h"
#include "desktop/shell/playlist_view.h"
#include "desktop/shell/progress_bar.h"
#include "desktop/shell/x11_window_state.h"

namespace kivo::desktop {
namespace {

constexpr int kLevelBarWidth = 9;
constexpr int kSeekbarHeight = 10;
constexpr int kLevelRange = 40000;
constexpr int kMinimumWidth = 60;
// X11 has no windows of zero height: slim mode keeps one pixel of client
// area, which the window reports as 0.
constexpr int kSlimHeight = 1;
constexpr char kSkipTaskbar[] = "_NET_WM_STATE_SKIP_TASKBAR";
constexpr char kAbove[] = "_NET_WM_STATE_ABOVE";

}  // namespace

QtMainWindow::QtMainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      playlist_(new PlaylistView(this)),
      level_left_(new ProgressBar(Qt::Vertical, this)),
      level_right_(new ProgressBar(Qt::Vertical, this)),
      seekbar_(new ProgressBar(Qt::Horizontal, this)) {
  setObjectName(QStringLiteral("TForm1"));
  playlist_->setObjectName(QStringLiteral("PlayList"));
  level_left_->setObjectName(QStringLiteral("lvlLeft"));
  level_right_->setObjectName(QStringLiteral("lvlRight"));
  seekbar_->setObjectName(QStringLiteral("seekbar"));
  setWindowIcon(AppIcon());
  setMinimumWidth(kMinimumWidth);
  setFocusProxy(playlist_);
  level_left_->SetRange(kLevelRange);
  level_right_->SetRange(kLevelRange);
  level_left_->hide();
  level_right_->hide();
  seekbar_->SetPressHandler(
      [this](Qt::MouseButton button, int x, int width, bool shift) {
        if (events_ != nullptr) {
          events_->SeekbarMouseDown(MouseButtonOf(button), x, width, shift);
        }
      });
  SetCaption("Kivo Player");
  SetClientSize(231, 288);
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::Attach(ShellEvents* events, const PlaylistSource* source) {
  events_ = events;
  playlist_->SetEvents(events);
  playlist_->SetSource(source);
}

void QtMainWindow::SetCaption(const std::string& caption) {
  caption_ = caption;
  setWindowTitle(DisplayText(caption));
}

int QtMainWindow::ClientWidth() const { return width(); }

int QtMainWindow::ClientHeight() const { return slim_ ? 0 : height(); }

void QtMainWindow::SetClientSize(int width, int height) {
  slim_ = height <= 0;
  if (slim_) {
    setMinimumHeight(kSlimHeight);
    setMaximumHeight(kSlimHeight);
  } else {
    setMinimumHeight(0);
    setMaximumHeight(QWIDGETSIZE_MAX);
  }
  resize(std::max(width, kMinimumWidth), slim_ ? kSlimHeight : height);
  LayOut();  // a hidden window gets its resize event only when shown
}

int QtMainWindow::Left() const { return x(); }

int QtMainWindow::Top() const { return y(); }

void QtMainWindow::SetPosition(int left, int top) { move(left, top); }

WorkArea QtMainWindow::PrimaryWorkArea() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect area = screen->availableGeometry();
  return {area.left(), area.top(), area.left() + area.width(),
          area.top() + area.height()};
}

void QtMainWindow::SetTopMost(bool top_most) {
  top_most_ = top_most;
  if (SetNetWmState(this, kAbove, top_most)) return;
  // Elsewhere through Qt, which hides the window to change the flag.
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == top_most) return;
  const bool shown = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, top_most);
  if (shown) show();
}

void QtMainWindow::SetAlphaBlend(bool enabled, int alpha_0_255) {
  setWindowOpacity(enabled ? std::clamp(alpha_0_255, 0, 255) / 255.0 : 1.0);
}

void QtMainWindow::SetTaskbarButtonVisible(bool visible) {
  skip_taskbar_ = !visible;
  SetNetWmState(this, kSkipTaskbar, skip_taskbar_);
}

void QtMainWindow::MinimizeApplication() {
  if (isVisible()) {
    showMinimized();
  } else {
    setWindowState(windowState() | Qt::WindowMinimized);
  }
}

void QtMainWindow::RestoreApplication() {
  if (!isMinimized()) return;
  if (isVisible()) {
    showNormal();
  } else {
    setWindowState(windowState() & ~Qt::WindowMinimized);
  }
}

void QtMainWindow::BringToFront() {
  showNormal();
  raise();
  activateWindow();
}

void QtMainWindow::PlaylistChanged() { playlist_->Refresh(); }

int QtMainWindow::SelectedLine() const { return playlist_->SelectedLine(); }

void QtMainWindow::SelectLine(int index) { playlist_->SelectLine(index); }

void QtMainWindow::SetPlaylistLook(const PlaylistLook& look) {
  playlist_->SetLook(look);
}

void QtMainWindow::SetSeekbarRange(int max) { seekbar_->SetRange(max); }

void QtMainWindow::SetSeekbarPosition(int position) {
  seekbar_->SetPosition(position);
}

void QtMainWindow::SetSeekbarEnabled(bool enabled) {
  seekbar_->setEnabled(enabled);
}

void QtMainWindow::SetSeekbarVisible(bool visible) {
  seekbar_visible_ = visible;
  LayOut();
}

void QtMainWindow::SetSeekbarLook(const BarLook& look) {
  seekbar_->SetLook(look);
}

void QtMainWindow::SetSeekbarBarColor(ColorValue bar) {
  seekbar_->SetBarColor(bar);
}

void QtMainWindow::SetLevelBarsVisible(bool visible) {
  level_bars_visible_ = visible;
  LayOut();
}

void QtMainWindow::SetLevels(int left_0_40000, int right_0_40000) {
  level_left_->SetPosition(left_0_40000);
  level_right_->SetPosition(right_0_40000);
}

void QtMainWindow::SetLevelBarLooks(const BarLook& left, const BarLook& right) {
  level_left_->SetLook(left);
  level_right_->SetLook(right);
}

void QtMainWindow::SetSlimModeCommand(const std::string& text, bool checked) {
  slim_text_ = text;
  slim_checked_ = checked;
}

void QtMainWindow::RequestClose() {
  // Queued: the menu that asked has to finish before the window goes.
  QMetaObject::invokeMethod(
      this, [this] { close(); }, Qt::QueuedConnection);
}

void QtMainWindow::LayOut() {
  const int seek_height = seekbar_visible_ ? kSeekbarHeight : 0;
  const int bars_width = level_bars_visible_ ? 2 * kLevelBarWidth : 0;
  const int upper_height = std::max(0, height() - seek_height);
  playlist_->setGeometry(0, 0, std::max(0, width() - bars_width), upper_height);
  level_left_->setGeometry(width() - 2 * kLevelBarWidth, 0, kLevelBarWidth,
                           upper_height);
  level_right_->setGeometry(width() - kLevelBarWidth, 0, kLevelBarWidth,
                            upper_height);
  seekbar_->setGeometry(0, height() - seek_height, width(), seek_height);
  level_left_->setVisible(level_bars_visible_);
  level_right_->setVisible(level_bars_visible_);
  seekbar_->setVisible(seekbar_visible_);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (events_ != nullptr && !events_->CloseRequest()) {
    event->ignore();
    return;
  }
  event->accept();
  // The window goes at once: the shutdown's writes wait on the disk, which
  // may be slow, and the user has already asked it to go.
  hide();
  if (events_ != nullptr) events_->Shutdown();
  if (on_closed_) on_closed_();
}

void QtMainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Before the window is mapped: the window manager forgot the states when
  // the window was hidden, and must not show a taskbar button even briefly.
  if (skip_taskbar_) SetNetWmState(this, kSkipTaskbar, true);
  if (top_most_) SetNetWmState(this, kAbove, true);
  if (!first_shown_) {
    first_shown_ = true;
    if (events_ != nullptr) events_->WindowFirstShown();
  }
}

void QtMainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    WindowStateChanged(
        static_cast<QWindowStateChangeEvent*>(event)->oldState());
  }
}

void QtMainWindow::WindowStateChanged(Qt::WindowStates old_state) {
  const bool was_minimized = old_state.testFlag(Qt::WindowMinimized);
  const bool minimized = isMinimized();
  if (minimized && !was_minimized) {
    if (events_ != nullptr) events_->ApplicationMinimized();
    // Without a tray host nothing could bring a hidden window back.
    if (minimize_to_tray_ && QSystemTrayIcon::isSystemTrayAvailable()) {
      QTimer::singleShot(0, this, [this] {
        if (isMinimized()) hide();
      });
    }
  } else if (!minimized && was_minimized && events_ != nullptr) {
    events_->ApplicationRestored();
  }
}

void QtMainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  SnapToWorkArea();
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
  SnapToWorkArea();
}

void QtMainWindow::SnapToWorkArea() {
  if (events_ == nullptr || !isVisible() || isMinimized()) return;
  const QRect frame = frameGeometry();
  int x = frame.x();
  int y = frame.y();
  events_->SnapToWorkArea(&x, &y, frame.width(), frame.height());
  const QPoint target(x, y);
  if (target == frame.topLeft() || (snap_pending_ && target == snap_target_)) {
    snap_pending_ = target != frame.topLeft();
    return;
  }
  snap_pending_ = true;
  snap_target_ = target;
  move(target);
}

void QtMainWindow::keyPressEvent(QKeyEvent* event) {
  // Reached only when the list does not have the focus (slim mode).
  ReportKeyPress(events_, *event);
  event->accept();
}

void QtMainWindow::keyReleaseEvent(QKeyEvent* event) {
  ReportKeyRelease(events_, *event);
  event->accept();
}

}  // namespace kivo::desktop
