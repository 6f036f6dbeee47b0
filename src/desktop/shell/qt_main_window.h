#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>
#include <string>

#include "core/platform/main_window.h"
#include "core/platform/playlist_source.h"
#include "core/platform/shell_events.h"

namespace kivo::desktop {

class PlaylistView;
class ProgressBar;

// The main window (`TForm1`): the playlist filling it, the level bars
// `lvlLeft` and `lvlRight` at the right edge and the `seekbar` along the
// bottom. It shows what the core sets and hands every user event to the
// core's ShellEvents; it decides nothing itself. GUI thread only.
class QtMainWindow final : public QWidget, public MainWindow {
  Q_OBJECT

 public:
  explicit QtMainWindow(QWidget* parent = nullptr);
  ~QtMainWindow() override;

  void Attach(ShellEvents* events, const PlaylistSource* source);
  // Runs after a close the core allowed and its Shutdown.
  void SetOnClosed(std::function<void()> on_closed) {
    on_closed_ = std::move(on_closed);
  }
  // While on, minimizing hides the window, provided a tray host is there to
  // bring it back.
  void SetMinimizeToTray(bool on) { minimize_to_tray_ = on; }

  void SetCaption(const std::string& caption) override;
  std::string Caption() const override { return caption_; }
  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetClientSize(int width, int height) override;
  int Left() const override;
  int Top() const override;
  void SetPosition(int left, int top) override;
  WorkArea PrimaryWorkArea() const override;

  void SetTopMost(bool top_most) override;
  void SetAlphaBlend(bool enabled, int alpha_0_255) override;
  void SetTaskbarButtonVisible(bool visible) override;
  void MinimizeApplication() override;
  void RestoreApplication() override;
  void BringToFront() override;

  void PlaylistChanged() override;
  int SelectedLine() const override;
  void SelectLine(int index) override;
  void SetPlaylistLook(const PlaylistLook& look) override;

  void SetSeekbarRange(int max) override;
  void SetSeekbarPosition(int position) override;
  void SetSeekbarEnabled(bool enabled) override;
  void SetSeekbarVisible(bool visible) override;
  void SetSeekbarLook(const BarLook& look) override;
  void SetSeekbarBarColor(ColorValue bar) override;

  void SetLevelBarsVisible(bool visible) override;
  void SetLevels(int left_0_40000, int right_0_40000) override;
  void SetLevelBarLooks(const BarLook& left, const BarLook& right) override;

  void SetSlimModeCommand(const std::string& text, bool checked) override;
  void RequestClose() override;

  // There is no system menu on Linux; the command's state is kept for F8.
  const std::string& slim_mode_command_text() const { return slim_text_; }
  bool slim_mode_command_checked() const { return slim_checked_; }
  bool top_most() const { return top_most_; }
  bool taskbar_button_visible() const { return !skip_taskbar_; }

  PlaylistView& playlist() { return *playlist_; }
  ProgressBar& seekbar() { return *seekbar_; }
  ProgressBar& level_left() { return *level_left_; }
  ProgressBar& level_right() { return *level_right_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void LayOut();
  void SnapToWorkArea();
  void WindowStateChanged(Qt::WindowStates old_state);

  PlaylistView* playlist_;
  ProgressBar* level_left_;
  ProgressBar* level_right_;
  ProgressBar* seekbar_;
  ShellEvents* events_ = nullptr;
  std::function<void()> on_closed_;

  std::string caption_;
  std::string slim_text_;
  bool slim_checked_ = false;
  bool slim_ = false;
  bool seekbar_visible_ = true;
  bool level_bars_visible_ = false;
  bool skip_taskbar_ = false;
  bool top_most_ = false;
  bool minimize_to_tray_ = false;
  bool first_shown_ = false;
  // The position last asked for by a snap and not yet reported back; a
  // window manager that refuses it is not asked again and again.
  bool snap_pending_ = false;
  QPoint snap_target_;
};

}  // namespace kivo::desktop
