#include "core/playlist/search_window.h"

#include "core/platform/shell_events.h"
#include "core/playlist/entry_checks.h"
#include "core/util/text.h"
#include "core/util/utf8.h"

namespace kivo {

std::vector<int> MatchingLines(int count,
                               const std::function<std::string(int)>& line_at,
                               const std::string& needle) {
  std::vector<int> matching;
  std::string line;
  for (int i = 0; i < count; ++i) {
    if (!needle.empty()) {
      // As the line is shown: a name that is not UTF-8 shows as CP1252, and
      // the typed needle is UTF-8.
      line = line_at(i);
      if (!IsValidUtf8(line)) line = EnsureUtf8(line);
      for (char& c : line) c = AsciiLower(c);
      if (line.find(needle) == std::string::npos) continue;
    }
    matching.push_back(i);
  }
  return matching;
}

std::vector<int> MatchingLines(const std::vector<std::string>& lines,
                               const std::string& needle) {
  return MatchingLines(
      static_cast<int>(lines.size()), [&lines](int i) { return lines[i]; },
      needle);
}

std::vector<int> MatchingLines(const PlaylistModel& model,
                               const std::string& needle) {
  return MatchingLines(
      model.Count(), [&model](int i) { return model.Line(i); }, needle);
}

SearchWindow::SearchWindow(Context& context, PlayerState& state, Queue& queue,
                           const PlaylistHooks& hooks)
    : context_(context),
      state_(state),
      queue_(queue),
      hooks_(hooks),
      view_(context.platform.search_windows.CreateSearchWindow(this)) {
  state_.search_window = this;
  FormCreate();
}

SearchWindow::~SearchWindow() {
  if (state_.search_window == this) state_.search_window = nullptr;
}

void SearchWindow::FormCreate() {
  search_index_ = 0;
  view_->SetCaption(context_.Text("menu", "19", "Search"));
  view_->SetPosition(static_cast<int>(context_.settings.ReadSettingInt(
                         "Search.Position", "Left", 0)),
                     static_cast<int>(context_.settings.ReadSettingInt(
                         "Search.Position", "Top", 0)));
  if (FinishEntryChecks(state_.playlist)) {
    context_.platform.window.PlaylistChanged();
  }
  SetResults(MatchingLines(state_.playlist, ""));
}

void SearchWindow::SetResults(std::vector<int> lines) {
  result_lines_ = std::move(lines);
  std::vector<std::string> texts;
  texts.reserve(result_lines_.size());
  for (int line : result_lines_) texts.push_back(state_.playlist.Line(line));
  view_->SetResults(texts);
  // SearchIndex is kept: beyond the last result nothing is selected.
  if (!result_lines_.empty()) view_->SelectResult(search_index_);
}

int SearchWindow::SelectedLine() const {
  int selected = view_->SelectedResult();
  if (selected < 0 || selected >= static_cast<int>(result_lines_.size()) ||
      selected >= view_->ResultCount()) {
    return -1;
  }
  int line = result_lines_[selected];
  // Playback may have shortened the playlist while the window was open.
  return line < state_.playlist.Count() ? line : -1;
}

void SearchWindow::EditChange(const std::string& text) {
  hooks_.guarded(
      [&] { SetResults(MatchingLines(state_.playlist, AsciiLower(text))); });
}

bool SearchWindow::EditKeyDown(int virtual_key) {
  hooks_.guarded([&] { Edit1KeyDown(virtual_key); });
  return virtual_key == vk::kUp || virtual_key == vk::kDown;
}

void SearchWindow::Edit1KeyDown(int virtual_key) {
  int count = view_->ResultCount();
  switch (virtual_key) {
    case vk::kEscape:
      view_->Close();
      break;
    case vk::kInsert:
      QueueMatching();
      break;
    case vk::kUp:
      if (search_index_ > 0) --search_index_;
      break;
    case vk::kDown:
      if (search_index_ < count - 1) ++search_index_;
      break;
    case vk::kReturn:
      PlaySelected();
      break;
    default:
      break;
  }
  view_->SelectResult(search_index_);
}

void SearchWindow::ListKeyDown(int virtual_key) {
  hooks_.guarded([&] {
    if (virtual_key == vk::kEscape) view_->Close();
    if (virtual_key == vk::kReturn) PlaySelected();
  });
}

void SearchWindow::ListDoubleClick() {
  hooks_.guarded([&] { PlaySelected(); });
}

void SearchWindow::FormClose() {
  hooks_.guarded([&] {
    context_.settings.WriteInt("Search.Position", "Left", view_->Left());
    context_.settings.WriteInt("Search.Position", "Top", view_->Top());
  });
}

void SearchWindow::PlaySelected() {
  // The pick plays the very line it was copied from, not every line whose
  // text merely contains it.
  int line = SelectedLine();
  if (line < 0) return;
  state_.playlist.playing_index = line;
  hooks_.play_entry();
  context_.platform.window.SelectLine(line);
  view_->Close();
}

void SearchWindow::QueueMatching() {
  int line = SelectedLine();
  if (line < 0) return;
  context_.platform.window.SelectLine(line);
  queue_.QueueToggle(line);
  context_.platform.window.PlaylistChanged();
}

bool OpenSearchWindow(Context& context, PlayerState& state, Queue& queue,
                      const PlaylistHooks& hooks) {
  if (state.search_window) return false;
  SearchWindow window(context, state, queue, hooks);
  window.ShowModal();
  return true;
}

}  // namespace kivo
