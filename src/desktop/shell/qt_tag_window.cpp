#include "desktop/shell/qt_tag_window.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "desktop/shell/display_text.h"

namespace kivo::desktop {
namespace {

constexpr int kFieldWidth = 260;
constexpr int kTrackWidth = 40;
constexpr int kYearWidth = 56;
constexpr int kCommentHeight = 72;

}  // namespace

TagDialog::TagDialog(const TagWindowContent& content, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(DisplayText(content.title));
  setModal(true);

  auto* file_box = new QGroupBox(DisplayText(content.file_caption), this);
  file_box->setObjectName(QStringLiteral("GroupBox1"));
  auto* file_layout = new QVBoxLayout(file_box);
  QLineEdit* file_name = AddField(content.file_name, 0);
  file_name->setObjectName(QStringLiteral("Edit1"));
  file_layout->addWidget(file_name);

  auto* tags_box = new QGroupBox(DisplayText(content.tags_caption), this);
  tags_box->setObjectName(QStringLiteral("GroupBox2"));
  auto* form = new QFormLayout(tags_box);
  const struct {
    const std::string& label;
    const std::string& value;
    int width;
  } rows[] = {{content.track_label, content.track, kTrackWidth},
              {content.title_label, content.song_title, kFieldWidth},
              {content.artist_label, content.artist, kFieldWidth},
              {content.album_label, content.album, kFieldWidth},
              {content.year_label, content.year, kYearWidth},
              {content.genre_label, content.genre, kFieldWidth}};
  int number = 2;
  for (const auto& row : rows) {
    QLineEdit* field = AddField(row.value, row.width);
    field->setObjectName(QStringLiteral("Edit%1").arg(number++));
    form->addRow(PlainLabel(row.label), field);
  }
  auto* comment = new QPlainTextEdit(MultiLineText(content.comment), this);
  comment->setObjectName(QStringLiteral("Memo1"));
  comment->setReadOnly(true);
  comment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  comment->setFixedSize(kFieldWidth, kCommentHeight);
  comment->installEventFilter(this);
  form->addRow(PlainLabel(content.comment_label), comment);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(file_box);
  layout->addWidget(tags_box);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  move(content.left, content.top);
}

// A QLabel guesses rich text; the labels come from language files.
QLabel* TagDialog::PlainLabel(const std::string& text) {
  auto* label = new QLabel(DisplayText(text), this);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QLineEdit* TagDialog::AddField(const std::string& text, int fixed_width) {
  auto* field = new QLineEdit(DisplayText(text), this);
  field->setReadOnly(true);
  field->setCursorPosition(0);
  if (fixed_width > 0) field->setFixedWidth(fixed_width);
  field->installEventFilter(this);
  return field;
}

bool TagDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    reject();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void QtTagWindow::ShowModal(const TagWindowContent& content, int* left,
                            int* top) {
  TagDialog dialog(content, parent_);
  dialog.exec();
  if (left != nullptr) *left = dialog.x();
  if (top != nullptr) *top = dialog.y();
}

}  // namespace kivo::desktop
