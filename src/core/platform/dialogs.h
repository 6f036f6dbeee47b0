#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kivo {

enum class MessageIcon { kNone, kInformation, kWarning, kError, kApplication };
enum class MessageButtons { kOk, kYesNo };
enum class MessageResult { kOk, kYes, kNo };

// Modal dialogs over the main window. Filters use the "desc|*.a;*.b|desc|*"
// form. GUI thread only; each call returns when the user has answered.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Chosen paths in the order the dialog returns them; empty when cancelled.
  virtual std::vector<std::string> OpenFiles(const std::string& title,
                                             const std::string& filter,
                                             bool multiple) = 0;
  // filter_index counts from 1, in and out. A name typed without extension
  // gets the extension of the chosen filter's first pattern ("*.m3u": m3u),
  // or default_extension (without dot) when that pattern names none ("*.*");
  // with an empty default_extension nothing is appended.
  virtual std::optional<std::string> SaveFile(
      const std::string& title, const std::string& filter,
      const std::string& default_extension, int* filter_index) = 0;
  // Empty when cancelled.
  virtual std::string PickFolder(const std::string& title) = 0;
  // Returns the preset when cancelled.
  virtual std::string InputBox(const std::string& caption,
                               const std::string& prompt,
                               const std::string& preset) = 0;
  virtual MessageResult MessageBox(const std::string& text,
                                   const std::string& caption, MessageIcon icon,
                                   MessageButtons buttons) = 0;
  // Long work of the core on the GUI thread reports how far it is: the window
  // keeps painting, and a progress dialog shows when the work lasts. total 0:
  // unknown; done -1 ends it.
  virtual void ShowProgress(const std::string& text, int done, int total) = 0;
};

}  // namespace kivo
