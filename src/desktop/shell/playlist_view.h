#pragma once

#include <QListView>
#include <QPoint>

#include "core/platform/main_window.h"
#include "core/platform/shell_events.h"
#include "desktop/shell/playlist_model.h"

namespace kivo::desktop {

// The `PlayList` control: the virtual list with the core's line painting. It
// reports keys, clicks, line drags and file drops to the core and otherwise
// keeps the list's own selection handling. A line drag reorders live: every
// move reports the line under the pointer and the core moves the entry and
// the selection; there is no drop step.
class PlaylistView final : public QListView {
  Q_OBJECT

 public:
  explicit PlaylistView(QWidget* parent = nullptr);

  void SetEvents(ShellEvents* events) { events_ = events; }
  void SetSource(const PlaylistSource* source);
  void SetLook(const PlaylistLook& look);
  // The core's lines changed.
  void Refresh();

  int SelectedLine() const;
  void SelectLine(int index);  // -1 or out of range: no selection
  // The line under a viewport position, -1 when there is none.
  int LineAt(const QPoint& viewport_pos) const;

  PlaylistModel& playlist_model() { return model_; }
  LineDelegate& line_delegate() { return delegate_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void ContinueLineDrag(const QPoint& pos);

  PlaylistModel model_;
  LineDelegate delegate_;
  ShellEvents* events_ = nullptr;
  // A left press on a line arms a drag; moving past the drag distance starts
  // it.
  bool drag_armed_ = false;
  bool dragging_ = false;
  QPoint press_pos_;
};

}  // namespace kivo::desktop
