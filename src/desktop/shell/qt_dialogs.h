#pragma once

#include <QProgressDialog>
#include <memory>

#include "core/platform/dialogs.h"

class QWidget;

namespace kivo::desktop {

// Qt's standard dialogs, modal over the main window. Paths are returned as
// the file system's bytes, texts the user typed as UTF-8.
class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : parent_(parent) {}

  std::vector<std::string> OpenFiles(const std::string& title,
                                     const std::string& filter,
                                     bool multiple) override;
  std::optional<std::string> SaveFile(const std::string& title,
                                      const std::string& filter,
                                      const std::string& default_extension,
                                      int* filter_index) override;
  std::string PickFolder(const std::string& title) override;
  std::string InputBox(const std::string& caption, const std::string& prompt,
                       const std::string& preset) override;
  MessageResult MessageBox(const std::string& text, const std::string& caption,
                           MessageIcon icon, MessageButtons buttons) override;
  void ShowProgress(const std::string& text, int done, int total) override;

 private:
  QWidget* parent_;
  std::unique_ptr<QProgressDialog> progress_;
};

}  // namespace kivo::desktop
