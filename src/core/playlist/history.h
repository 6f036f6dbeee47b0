#pragma once

#include <string>

#include "core/app/context.h"
#include "core/app/player_state.h"

namespace kivo {

// The playlist files last loaded or saved: HistoryList (oldest first) in
// memory, its five newest in section "History" of settings.ini ("1" the
// newest) and as run-time items of the `History1` submenu. Cheap to make: it
// holds only references, and its menu items carry their own.
class History {
 public:
  History(Context& context, PlayerState& state)
      : context_(context), state_(state) {}

  // path becomes the newest; the submenu and keys "1".."5" are rewritten.
  void AddToHistory(const std::string& path);
  // Once at startup: the stored paths into the list and the submenu.
  void LoadHistory();
  void ClearHistory();
  // The click of a history item: its caption names the file.
  void OpenHistoryEntry(const std::string& caption);
  // "History Menu": the submenu shows exactly while the item is checked.
  void History2Click();

 private:
  MenuItem& Submenu();
  void AddEntryItem(int number, const std::string& path);
  void AddEmptyItem();
  void AddClearItems();

  Context& context_;
  PlayerState& state_;
};

}  // namespace kivo
