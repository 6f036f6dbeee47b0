#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kivo {

// What the search window reports to the core (its handlers). GUI thread only.
class SearchEvents {
 public:
  virtual ~SearchEvents() = default;
  virtual void EditChange(const std::string& text) = 0;
  // True when the key is consumed (Up and Down do not move the caret).
  virtual bool EditKeyDown(int virtual_key) = 0;
  virtual void ListKeyDown(int virtual_key) = 0;
  virtual void ListDoubleClick() = 0;
  // The window is closing; store its position.
  virtual void FormClose() = 0;
};

// The search window: a text box over a result list. The core fills it and
// decides; the desktop draws it and reports through SearchEvents.
class SearchView {
 public:
  virtual ~SearchView() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetPosition(int left, int top) = 0;
  virtual int Left() const = 0;
  virtual int Top() const = 0;
  virtual void SetResults(const std::vector<std::string>& lines) = 0;
  virtual int ResultCount() const = 0;
  virtual void SelectResult(int index) = 0;  // -1 or out of range: none
  virtual int SelectedResult() const = 0;    // -1 when none
  virtual std::string ResultText(int index) const = 0;
  // Modal: returns once the window has closed (FormClose has run).
  virtual void ShowModal() = 0;
  virtual void Close() = 0;
};

// Creates search windows (owned by the main window; always on top).
class SearchWindowFactory {
 public:
  virtual ~SearchWindowFactory() = default;
  virtual std::unique_ptr<SearchView> CreateSearchWindow(
      SearchEvents* events) = 0;
};

}  // namespace kivo
