#include "core/playlist/history.h"

#include <algorithm>

#include "core/playlist/playlist_files.h"
#include "core/util/text.h"

namespace kivo {
namespace {

constexpr char kSection[] = "History";
constexpr int kShown = 5;

}  // namespace

MenuItem& History::Submenu() { return context_.menus.Item("History1"); }

void History::AddEntryItem(int number, const std::string& path) {
  // A single "&" would mark an accelerator and vanish from the caption.
  MenuItem& item = context_.menus.AddChild(
      Submenu(), IntText(number) + ". " + ReplaceAll(path, "&", "&&"));
  Context& context = context_;
  PlayerState& state = state_;
  std::string name = item.name;
  item.on_click = [&context, &state, name] {
    // Read before the submenu is rebuilt under this very item.
    std::string caption = context.menus.Item(name).caption;
    History(context, state).OpenHistoryEntry(caption);
  };
}

void History::AddEmptyItem() {
  context_.menus.AddChild(Submenu(), context_.Text("strings", "13", "Empty"))
      .enabled = false;
}

void History::AddClearItems() {
  context_.menus.AddChild(Submenu(), "-");
  MenuItem& clear = context_.menus.AddChild(
      Submenu(), context_.Text("options", "33", "Clear History"));
  Context& context = context_;
  PlayerState& state = state_;
  clear.on_click = [&context, &state] {
    History(context, state).ClearHistory();
  };
}

void History::AddToHistory(const std::string& path) {
  std::vector<std::string>& list = state_.history_list;
  auto same = std::find(list.begin(), list.end(), path);
  if (same != list.end()) list.erase(same);
  list.push_back(path);
  context_.menus.ClearChildren(Submenu());
  int number = 1;
  for (auto it = list.rbegin(); it != list.rend() && number <= kShown;
       ++it, ++number) {
    context_.settings.WriteText(kSection, IntText(number), *it);
    AddEntryItem(number, *it);
  }
  AddClearItems();
}

void History::LoadHistory() {
  std::vector<std::string>& list = state_.history_list;
  IniDocument settings = context_.settings.Snapshot();
  for (int key = kShown; key >= 1; --key) {
    std::string path = settings.GetText(kSection, IntText(key), "");
    if (!path.empty()) list.push_back(path);
  }
  context_.menus.ClearChildren(Submenu());
  int number = 1;
  for (auto it = list.rbegin(); it != list.rend(); ++it, ++number) {
    AddEntryItem(number, *it);
  }
  if (list.empty()) AddEmptyItem();
  AddClearItems();
}

void History::ClearHistory() {
  context_.menus.ClearChildren(Submenu());
  state_.history_list.clear();
  AddEmptyItem();
  AddClearItems();
  for (int key = 1; key <= kShown; ++key) {
    context_.settings.WriteText(kSection, IntText(key), "");
  }
}

void History::OpenHistoryEntry(const std::string& caption) {
  std::string path =
      ReplaceAll(caption.size() > 3 ? caption.substr(3) : "", "&&", "&");
  AddToHistory(path);
  PlaylistFiles(context_, state_.playlist).LoadByExtension(path, false);
}

void History::History2Click() {
  bool shown = context_.menus.Checked("History2");
  context_.menus.SetVisible("History1", shown);
  context_.settings.WriteBool("settings", "history", shown);
}

}  // namespace kivo
