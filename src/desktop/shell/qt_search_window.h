#pragma once

#include <QDialog>
#include <QPointer>
#include <string>
#include <vector>

#include "core/platform/search_window.h"

class QLineEdit;
class QListWidget;

namespace kivo::desktop {

// The search window (`TForm3`): the text box `Edit1` over the result list
// `ListBox1`. Keys, text changes and double clicks go to the core's
// SearchEvents; Esc and Enter do nothing by themselves, the core closes the
// window. FormClose runs once, before the window closes, however it closes.
class SearchDialog final : public QDialog {
  Q_OBJECT

 public:
  SearchDialog(SearchEvents* events, QWidget* parent);

  QLineEdit* edit() const { return edit_; }
  QListWidget* list() const { return list_; }

  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  SearchEvents* events_;
  QLineEdit* edit_;
  QListWidget* list_;
  bool closing_ = false;
};

class QtSearchWindow final : public SearchView {
 public:
  QtSearchWindow(SearchEvents* events, QWidget* parent);
  ~QtSearchWindow() override;

  void SetCaption(const std::string& caption) override;
  void SetPosition(int left, int top) override;
  int Left() const override;
  int Top() const override;
  void SetResults(const std::vector<std::string>& lines) override;
  int ResultCount() const override;
  void SelectResult(int index) override;
  int SelectedResult() const override;
  std::string ResultText(int index) const override;
  void ShowModal() override;
  void Close() override;

  SearchDialog* dialog() const { return dialog_; }

 private:
  QPointer<SearchDialog> dialog_;
  // The core's own texts: the list shows them decoded, the core gets these.
  std::vector<std::string> results_;
};

class QtSearchWindowFactory final : public SearchWindowFactory {
 public:
  explicit QtSearchWindowFactory(QWidget* parent) : parent_(parent) {}
  std::unique_ptr<SearchView> CreateSearchWindow(SearchEvents* events) override;

 private:
  QWidget* parent_;
};

}  // namespace kivo::desktop
