#pragma once

#include <QDialog>

#include "core/platform/tag_window.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kivo::desktop {

// The tag information window (`TForm2`): read-only fields in two group
// boxes, fixed size, Esc closes it from any field.
class TagDialog final : public QDialog {
  Q_OBJECT

 public:
  TagDialog(const TagWindowContent& content, QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* AddField(const std::string& text, int fixed_width);
  QLabel* PlainLabel(const std::string& text);
};

class QtTagWindow final : public TagWindow {
 public:
  explicit QtTagWindow(QWidget* parent) : parent_(parent) {}
  void ShowModal(const TagWindowContent& content, int* left, int* top) override;

 private:
  QWidget* parent_;
};

}  // namespace kivo::desktop
