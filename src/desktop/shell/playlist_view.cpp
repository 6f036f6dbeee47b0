#include "desktop/shell/playlist_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <algorithm>

#include "desktop/shell/colors_qt.h"
#include "desktop/shell/display_text.h"
#include "desktop/shell/drop_paths.h"
#include "desktop/shell/key_map.h"
#include "desktop/shell/menu_renderer.h"

namespace kivo::desktop {
PlaylistView::PlaylistView(QWidget* parent)
    : QListView(parent), model_(this), delegate_(&model_, this) {
  setModel(&model_);
  setItemDelegate(&delegate_);
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
  setDragEnabled(false);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  SetLook(PlaylistLook{});
}

void PlaylistView::SetSource(const PlaylistSource* source) {
  model_.SetSource(source);
}

void PlaylistView::SetLook(const PlaylistLook& look) {
  QFont font(DisplayText(look.font_name));
  font.setPointSize(std::max(1, look.font_size));
  delegate_.SetLook(font, look.line_height);
  setFont(font);
  QPalette colors = palette();
  colors.setColor(QPalette::Base, ToQColor(look.background));
  colors.setColor(QPalette::Text, ToQColor(look.font_color));
  setPalette(colors);
  viewport()->setAutoFillBackground(true);
  doItemsLayout();
  viewport()->update();
}

void PlaylistView::Refresh() {
  // Lines went away: the selected one may be among them, and a list box
  // forgets a selection whose line it deletes. Qt would move it to a
  // neighbour instead, and a second Delete would then remove that one.
  const bool shrinking = model_.source() != nullptr &&
                         model_.source()->LineCount() < model_.rowCount();
  model_.Refresh();
  if (shrinking) selectionModel()->clearSelection();
  viewport()->update();
}

int PlaylistView::SelectedLine() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void PlaylistView::SelectLine(int index) {
  if (index < 0 || index >= model_.rowCount()) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex target = model_.index(index);
  selectionModel()->setCurrentIndex(target,
                                    QItemSelectionModel::ClearAndSelect);
  scrollTo(target);
}

int PlaylistView::LineAt(const QPoint& viewport_pos) const {
  const QModelIndex index = indexAt(viewport_pos);
  return index.isValid() ? index.row() : -1;
}

void PlaylistView::keyPressEvent(QKeyEvent* event) {
  if (!ReportKeyPress(events_, *event)) QListView::keyPressEvent(event);
  // Handled here in full, so the window does not report it a second time.
  event->accept();
}

void PlaylistView::keyReleaseEvent(QKeyEvent* event) {
  ReportKeyRelease(events_, *event);
  event->accept();
}

void PlaylistView::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    // The list selects first, then the handler sees the press, as on Windows.
    QListView::mousePressEvent(event);
    drag_armed_ = LineAt(pos) >= 0;
    dragging_ = false;
    press_pos_ = pos;
  }
  // Right and middle presses leave the selection to the core.
  if (events_ != nullptr) {
    events_->PlaylistMouseDown(MouseButtonOf(event->button()), LineAt(pos));
  }
  event->accept();
}

void PlaylistView::mouseMoveEvent(QMouseEvent* event) {
  if (!event->buttons().testFlag(Qt::LeftButton)) {
    QListView::mouseMoveEvent(event);
    return;
  }
  // While the left button is held the list must not drag its selection
  // along: only the core moves it.
  ContinueLineDrag(event->position().toPoint());
  event->accept();
}

void PlaylistView::ContinueLineDrag(const QPoint& pos) {
  if (!drag_armed_) return;
  if (!dragging_ && (pos - press_pos_).manhattanLength() <
                        QApplication::startDragDistance()) {
    return;
  }
  dragging_ = true;
  if (events_ != nullptr && viewport()->rect().contains(pos)) {
    events_->PlaylistDragOver(LineAt(pos));
  }
}

void PlaylistView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    drag_armed_ = false;
    dragging_ = false;
    QListView::mouseReleaseEvent(event);
  }
  event->accept();
}

void PlaylistView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->accept();
    return;
  }
  QListView::mouseDoubleClickEvent(event);
  if (events_ != nullptr) events_->PlaylistDoubleClick();
}

void PlaylistView::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  if (events_ == nullptr) return;
  events_->PlaylistMenuPopup();
  const std::string name =
      ExecMenu(events_->PlaylistMenu(), event->globalPos(), this);
  if (!name.empty()) events_->MenuItemClicked(name);
}

void PlaylistView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void PlaylistView::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls()) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void PlaylistView::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = DroppedPaths(*event->mimeData());
  event->acceptProposedAction();
  if (events_ != nullptr && !paths.empty()) events_->FilesDropped(paths);
}

}  // namespace kivo::desktop
