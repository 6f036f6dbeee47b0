#include "desktop/shell/qt_search_window.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "desktop/shell/display_text.h"
#include "desktop/shell/key_map.h"

namespace kivo::desktop {
namespace {

constexpr int kListWidth = 431;
constexpr int kListHeight = 208;

}  // namespace

SearchDialog::SearchDialog(SearchEvents* events, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowSystemMenuHint |
                  Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      events_(events),
      edit_(new QLineEdit(this)),
      list_(new QListWidget(this)) {
  setObjectName(QStringLiteral("TForm3"));
  edit_->setObjectName(QStringLiteral("Edit1"));
  list_->setObjectName(QStringLiteral("ListBox1"));
  list_->setFixedSize(kListWidth, kListHeight);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(edit_);
  layout->addWidget(list_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setModal(true);
  connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (events_ != nullptr) events_->EditChange(CoreText(text));
  });
  edit_->installEventFilter(this);
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
}

bool SearchDialog::eventFilter(QObject* watched, QEvent* event) {
  if (events_ == nullptr) return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) {
    const int virtual_key = VirtualKeyOf(*static_cast<QKeyEvent*>(event));
    if (virtual_key != 0 && watched == edit_) {
      return events_->EditKeyDown(virtual_key);
    }
    if (virtual_key != 0 && watched == list_) events_->ListKeyDown(virtual_key);
  } else if (event->type() == QEvent::MouseButtonDblClick &&
             watched == list_->viewport()) {
    // The first click of the pair has selected the line already.
    events_->ListDoubleClick();
  }
  return QDialog::eventFilter(watched, event);
}

void SearchDialog::keyPressEvent(QKeyEvent* event) {
  // Esc and Enter reach the core through the fields; the dialog's own
  // close-on-Esc would decide for it.
  if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
      event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void SearchDialog::done(int result) {
  if (!closing_) {
    closing_ = true;
    if (events_ != nullptr) events_->FormClose();
  }
  QDialog::done(result);
}

QtSearchWindow::QtSearchWindow(SearchEvents* events, QWidget* parent)
    : dialog_(new SearchDialog(events, parent)) {}

QtSearchWindow::~QtSearchWindow() { delete dialog_.data(); }

void QtSearchWindow::SetCaption(const std::string& caption) {
  if (dialog_) dialog_->setWindowTitle(DisplayText(caption));
}

void QtSearchWindow::SetPosition(int left, int top) {
  if (dialog_) dialog_->move(left, top);
}

int QtSearchWindow::Left() const { return dialog_ ? dialog_->x() : 0; }

int QtSearchWindow::Top() const { return dialog_ ? dialog_->y() : 0; }

void QtSearchWindow::SetResults(const std::vector<std::string>& lines) {
  results_ = lines;
  if (!dialog_) return;
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) texts.append(DisplayText(line));
  dialog_->list()->clear();
  dialog_->list()->addItems(texts);
}

int QtSearchWindow::ResultCount() const {
  return static_cast<int>(results_.size());
}

void QtSearchWindow::SelectResult(int index) {
  if (!dialog_) return;
  QListWidget* list = dialog_->list();
  if (index < 0 || index >= list->count()) {
    list->clearSelection();
    list->setCurrentRow(-1);
    return;
  }
  list->setCurrentRow(index);
}

int QtSearchWindow::SelectedResult() const {
  if (!dialog_) return -1;
  const QList<QListWidgetItem*> selected = dialog_->list()->selectedItems();
  return selected.isEmpty() ? -1 : dialog_->list()->row(selected.first());
}

std::string QtSearchWindow::ResultText(int index) const {
  if (index < 0 || index >= ResultCount()) return {};
  return results_[static_cast<size_t>(index)];
}

void QtSearchWindow::ShowModal() {
  if (!dialog_) return;
  dialog_->edit()->setFocus();
  dialog_->exec();
}

void QtSearchWindow::Close() {
  if (dialog_) dialog_->reject();
}

std::unique_ptr<SearchView> QtSearchWindowFactory::CreateSearchWindow(
    SearchEvents* events) {
  return std::make_unique<QtSearchWindow>(events, parent_);
}

}  // namespace kivo::desktop
