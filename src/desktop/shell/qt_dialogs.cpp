#include "desktop/shell/qt_dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <algorithm>

#include "desktop/shell/app_icon.h"
#include "desktop/shell/display_text.h"
#include "desktop/shell/file_filters.h"

namespace kivo::desktop {
namespace {

QFileDialog::Options FilterOptions() {
  // The descriptions already name their patterns ("All Files (*.*)").
  return QFileDialog::HideNameFilterDetails;
}

void SetMessageIcon(QMessageBox* box, MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      box->setIcon(QMessageBox::Information);
      break;
    case MessageIcon::kWarning:
      box->setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::kError:
      box->setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::kApplication:
      box->setIconPixmap(AppIcon().pixmap(48, 48));
      break;
    case MessageIcon::kNone:
      box->setIcon(QMessageBox::NoIcon);
      break;
  }
}

}  // namespace

std::vector<std::string> QtDialogs::OpenFiles(const std::string& title,
                                              const std::string& filter,
                                              bool multiple) {
  QFileDialog dialog(parent_, DisplayText(title));
  dialog.setOptions(FilterOptions());
  dialog.setNameFilters(QtNameFilters(filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(multiple ? QFileDialog::ExistingFiles
                              : QFileDialog::ExistingFile);
  std::vector<std::string> paths;
  if (dialog.exec() != QDialog::Accepted) return paths;
  for (const QString& path : dialog.selectedFiles()) {
    paths.push_back(PathBytes(path));
  }
  return paths;
}

std::optional<std::string> QtDialogs::SaveFile(
    const std::string& title, const std::string& filter,
    const std::string& default_extension, int* filter_index) {
  QFileDialog dialog(parent_, DisplayText(title));
  dialog.setOptions(FilterOptions());
  const QStringList filters = QtNameFilters(filter);
  dialog.setNameFilters(filters);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // A bare name gets the extension of the type chosen, as the user sees it
  // in the type box; the dialog checks for an existing file under that name.
  const auto suffix_of = [&filter, &default_extension](qsizetype index) {
    return DisplayText(TypeExtension(filter, index, default_extension));
  };
  const int index = filter_index != nullptr ? *filter_index : 1;
  if (index >= 1 && index <= filters.size()) {
    dialog.selectNameFilter(filters[index - 1]);
  }
  dialog.setDefaultSuffix(suffix_of(index - 1));
  QObject::connect(
      &dialog, &QFileDialog::filterSelected, &dialog,
      [&dialog, &filters, &suffix_of](const QString& selected) {
        dialog.setDefaultSuffix(suffix_of(NameFilterIndex(filters, selected)));
      });
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const qsizetype chosen =
      NameFilterIndex(filters, dialog.selectedNameFilter());
  if (filter_index != nullptr && chosen >= 0) {
    *filter_index = static_cast<int>(chosen) + 1;
  }
  dialog.setDefaultSuffix(suffix_of(chosen));
  const QStringList selected = dialog.selectedFiles();
  if (selected.isEmpty()) return std::nullopt;
  // Native dialogs may ignore the default suffix; the rule holds for all.
  return PathBytes(WithDefaultExtension(
      selected.first(), TypeExtension(filter, chosen, default_extension)));
}

std::string QtDialogs::PickFolder(const std::string& title) {
  const QString folder = QFileDialog::getExistingDirectory(
      parent_, DisplayText(title), QString(), QFileDialog::ShowDirsOnly);
  return folder.isEmpty() ? std::string() : PathBytes(folder);
}

std::string QtDialogs::InputBox(const std::string& caption,
                                const std::string& prompt,
                                const std::string& preset) {
  bool accepted = false;
  const QString text =
      QInputDialog::getText(parent_, DisplayText(caption), DisplayText(prompt),
                            QLineEdit::Normal, DisplayText(preset), &accepted);
  return accepted ? CoreText(text) : preset;
}

MessageResult QtDialogs::MessageBox(const std::string& text,
                                    const std::string& caption,
                                    MessageIcon icon, MessageButtons buttons) {
  QMessageBox box(parent_);
  box.setWindowTitle(DisplayText(caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(MultiLineText(text));
  SetMessageIcon(&box, icon);
  if (buttons == MessageButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? MessageResult::kYes
                                          : MessageResult::kNo;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MessageResult::kOk;
}

void QtDialogs::ShowProgress(const std::string& text, int done, int total) {
  if (done < 0) {
    progress_.reset();
    return;
  }
  if (!progress_) {
    progress_ = std::make_unique<QProgressDialog>(parent_);
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setCancelButton(nullptr);
    progress_->setMinimumDuration(400);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
  }
  progress_->setLabelText(DisplayText(text));
  progress_->setMaximum(std::max(total, 0));
  progress_->setValue(total > 0 ? std::min(done, total) : 0);
  // The work runs on this thread: let the window paint, take no input.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace kivo::desktop
