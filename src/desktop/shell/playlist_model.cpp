#include "desktop/shell/playlist_model.h"

#include <QPainter>
#include <algorithm>

#include "desktop/shell/colors_qt.h"
#include "desktop/shell/display_text.h"

namespace kivo::desktop {

PlaylistModel::PlaylistModel(QObject* parent) : QAbstractListModel(parent) {}

void PlaylistModel::SetSource(const PlaylistSource* source) {
  beginResetModel();
  source_ = source;
  row_count_ = SourceCount();
  endResetModel();
}

int PlaylistModel::SourceCount() const {
  return source_ != nullptr ? std::max(0, source_->LineCount()) : 0;
}

void PlaylistModel::Refresh() {
  const int new_count = SourceCount();
  if (new_count > row_count_) {
    beginInsertRows(QModelIndex(), row_count_, new_count - 1);
    row_count_ = new_count;
    endInsertRows();
  } else if (new_count < row_count_) {
    beginRemoveRows(QModelIndex(), new_count, row_count_ - 1);
    row_count_ = new_count;
    endRemoveRows();
  }
  if (row_count_ > 0) {
    emit dataChanged(index(0), index(row_count_ - 1), {Qt::DisplayRole});
  }
}

int PlaylistModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : row_count_;
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || source_ == nullptr || !index.isValid() ||
      index.row() >= SourceCount()) {
    return {};
  }
  return DisplayText(source_->LineText(index.row()));
}

LineDelegate::LineDelegate(const PlaylistModel* model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

void LineDelegate::SetLook(const QFont& font, int line_height) {
  font_ = font;
  line_height_ = std::max(1, line_height);
}

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  const PlaylistSource* source = model_->source();
  if (source == nullptr || index.row() >= source->LineCount()) return;
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  const bool focused = option.state.testFlag(QStyle::State_HasFocus);
  const LineStyle style = source->StyleOf(index.row(), selected, focused);

  painter->save();
  painter->fillRect(option.rect, ToQColor(style.brush));
  QFont font = font_;
  font.setBold(style.bold);
  painter->setFont(font);
  painter->setPen(ToQColor(style.text_color));
  painter->drawText(option.rect,
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
  if (style.focus_rect) {
    // Like DrawFocusRect: a dotted line that inverts what lies below.
    painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter->setPen(QPen(Qt::white, 1, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
  }
  painter->restore();
}

QSize LineDelegate::sizeHint(const QStyleOptionViewItem& option,
                             const QModelIndex& /*index*/) const {
  return {option.rect.width(), line_height_};
}

}  // namespace kivo::desktop
