#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app/context.h"
#include "core/app/player_state.h"
#include "core/platform/search_window.h"
#include "core/playlist/playlist_hooks.h"
#include "core/playlist/queue.h"

namespace kivo {

// The search window's logic: a typed fragment narrows the playlist lines, the
// keyboard keeps one result selected (SearchIndex), and the pick plays or
// queues the line it came from. While it lives it is the player's current
// search window. GUI thread only.
class SearchWindow : public SearchEvents {
 public:
  SearchWindow(Context& context, PlayerState& state, Queue& queue,
               const PlaylistHooks& hooks);
  // FormDestroy: the player has no current search window any more.
  ~SearchWindow() override;
  SearchWindow(const SearchWindow&) = delete;
  SearchWindow& operator=(const SearchWindow&) = delete;

  // Returns when the window has closed.
  void ShowModal() { view_->ShowModal(); }

  // SearchEvents.
  void EditChange(const std::string& text) override;
  bool EditKeyDown(int virtual_key) override;
  void ListKeyDown(int virtual_key) override;
  void ListDoubleClick() override;
  void FormClose() override;

  void PlaySelected();
  void QueueMatching();

 private:
  void FormCreate();
  void SetResults(std::vector<int> lines);
  // The playlist line the selected result was copied from; -1 for none.
  int SelectedLine() const;
  void Edit1KeyDown(int virtual_key);

  Context& context_;
  PlayerState& state_;
  Queue& queue_;
  const PlaylistHooks& hooks_;
  std::unique_ptr<SearchView> view_;
  int search_index_ = 0;
  std::vector<int> result_lines_;  // parallel to the view's results
};

// Lines whose text as shown (UTF-8, or CP1252 when not valid UTF-8), in
// ASCII lower case, contains needle (UTF-8, already lower case), in playlist
// order; every line when needle is empty.
std::vector<int> MatchingLines(int count,
                               const std::function<std::string(int)>& line_at,
                               const std::string& needle);
std::vector<int> MatchingLines(const std::vector<std::string>& lines,
                               const std::string& needle);
// The same over the playlist's lines, made one at a time.
std::vector<int> MatchingLines(const PlaylistModel& model,
                               const std::string& needle);

// Search1Click and the Search hotkey: opens a search window modally unless
// one is open already (then false).
bool OpenSearchWindow(Context& context, PlayerState& state, Queue& queue,
                      const PlaylistHooks& hooks);

}  // namespace kivo
