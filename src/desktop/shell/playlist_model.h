#pragma once

#include <QAbstractListModel>
#include <QFont>
#include <QStyledItemDelegate>

#include "core/platform/playlist_source.h"

namespace kivo::desktop {

// The playlist as a virtual list: rows and texts come from the core's
// PlaylistSource when the view asks, so 100,000 lines cost no copies.
class PlaylistModel final : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit PlaylistModel(QObject* parent = nullptr);

  void SetSource(const PlaylistSource* source);
  const PlaylistSource* source() const { return source_; }
  // Follows a change of the core's lines: rows added or removed at the end,
  // every remaining row repainted. Selection and scroll position survive for
  // the rows that are still there.
  void Refresh();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  int SourceCount() const;

  const PlaylistSource* source_ = nullptr;
  int row_count_ = 0;
};

// Paints one playlist line exactly as the core's LineStyle says: the brush
// over the whole row, the text at the row's top-left corner without margin,
// bold when asked, and the focus rectangle.
class LineDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit LineDelegate(const PlaylistModel* model, QObject* parent = nullptr);

  void SetLook(const QFont& font, int line_height);
  const QFont& font() const { return font_; }
  int line_height() const { return line_height_; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

 private:
  const PlaylistModel* model_;
  QFont font_;
  int line_height_ = 13;
};

}  // namespace kivo::desktop
