#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/associations.h"
#include "core/platform/desktop_services.h"
#include "core/platform/dialogs.h"
#include "core/platform/hotkey_service.h"
#include "core/platform/http_client.h"
#include "core/platform/now_playing.h"
#include "core/platform/search_window.h"
#include "core/platform/shell_events.h"
#include "core/platform/tag_window.h"

namespace kivo::testing {

struct ShownMessage {
  std::string text;
  std::string caption;
  MessageIcon icon;
  MessageButtons buttons;
};

// Dialogs answered from scripts the test fills; an unscripted dialog is
// cancelled (message boxes answer No/OK). Everything shown is recorded.
class ScriptedDialogs : public Dialogs {
 public:
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

  void ShowProgress(const std::string& text, int done, int total) override {
    progress.push_back({text, done, total});
    // The real dialog lets the loop run here: whatever arrives meanwhile.
    if (done >= 0 && while_progress) while_progress();
  }
  std::function<void()> while_progress;

  struct ProgressReport {
    std::string text;
    int done;
    int total;
  };
  std::vector<ProgressReport> progress;

  std::deque<std::vector<std::string>> open_answers;
  // A path and the filter index chosen.
  std::deque<std::optional<std::pair<std::string, int>>> save_answers;
  std::deque<std::string> folder_answers;
  std::deque<std::optional<std::string>> input_answers;  // nullopt: cancel
  std::deque<MessageResult> message_answers;

  std::vector<std::string> titles;  // of every dialog, in order
  std::vector<std::string> filters;
  std::vector<std::string> default_extensions;
  std::vector<ShownMessage> messages;
  std::vector<std::string> input_prompts;
};

class FakeDesktopServices : public DesktopServices {
 public:
  bool SetClipboardText(const std::string& text) override;
  bool OpenUrl(const std::string& url) override;
  bool MoveToTrash(const std::string& path) override;
  bool DownloadToFile(const std::string& url, const std::string& path) override;

  std::string clipboard;
  std::vector<std::string> opened_urls;
  std::vector<std::string> trashed;
  bool trash_works = true;
  // url -> content written by DownloadToFile; a missing url fails.
  std::map<std::string, std::string> downloads;
};

class FakeHttpClient : public HttpClient {
 public:
  struct Request {
    std::string method;
    std::string url;
    std::string body;
    std::optional<HttpProxy> proxy;
  };
  HttpResponse Get(const std::string& url,
                   const std::optional<HttpProxy>& proxy) override;
  HttpResponse PostForm(const std::string& url, const std::string& body,
                        const std::optional<HttpProxy>& proxy) override;

  std::vector<Request> requests;
  std::deque<HttpResponse> replies;  // empty: a failed request
};

class FakeHotkeys : public HotkeyService {
 public:
  bool Register(int id, int modifiers, int virtual_key) override;
  void Unregister(int id) override;
  void Describe(int id, const std::string& name) override { names[id] = name; }
  std::string UnavailableReason() const override { return unavailable; }

  std::map<int, std::pair<int, int>> registered;  // id -> modifiers, key
  std::map<int, std::string> names;
  std::vector<int> refused_keys;
  std::string unavailable;  // the session's reason; empty: hotkeys work
};

class FakeNowPlaying : public NowPlaying {
 public:
  void Announce(const std::string& title) override {
    announced.push_back(title);
  }
  void StatusChanged() override {
    ++status_changes;
    if (events != nullptr) told.push_back(events->Status());
  }
  void Seeked() override { ++seeks; }
  std::vector<std::string> announced;
  int status_changes = 0;
  int seeks = 0;
  // Set by a test: every notice then records the status a desktop would read.
  const ShellEvents* events = nullptr;
  std::vector<PlayerStatus> told;
};

class FakeAssociations : public Associations {
 public:
  bool Register(const std::string& type_name,
                std::string* failed_value) override;
  bool Restore(const std::string& type_name,
               std::string* failed_value) override;
  std::vector<std::string> log;  // "+MP3", "-MP3"
  std::string failing_type;
};

// A search window the test drives through its SearchEvents.
class FakeSearchView : public SearchView {
 public:
  void SetCaption(const std::string& c) override { caption = c; }
  void SetPosition(int l, int t) override {
    left = l;
    top = t;
  }
  int Left() const override { return left; }
  int Top() const override { return top; }
  void SetResults(const std::vector<std::string>& lines) override {
    results = lines;
    selected = -1;
  }
  int ResultCount() const override { return static_cast<int>(results.size()); }
  void SelectResult(int index) override {
    selected = (index >= 0 && index < ResultCount()) ? index : -1;
  }
  int SelectedResult() const override { return selected; }
  std::string ResultText(int index) const override { return results.at(index); }
  void ShowModal() override;
  void Close() override { closed = true; }

  std::string caption;
  int left = 0, top = 0;
  std::vector<std::string> results;
  int selected = -1;
  bool closed = false;
  SearchEvents* events = nullptr;
  // Runs while "modal"; the test drives the window from here.
  std::function<void(FakeSearchView&)> script;
};

class FakeSearchWindows : public SearchWindowFactory {
 public:
  std::unique_ptr<SearchView> CreateSearchWindow(SearchEvents* events) override;
  std::function<void(FakeSearchView&)> script;
  int created = 0;
};

class FakeTagWindow : public TagWindow {
 public:
  void ShowModal(const TagWindowContent& content, int* left, int* top) override;
  std::vector<TagWindowContent> shown;
  int move_to_left = -1, move_to_top = -1;  // -1: not moved
};

}  // namespace kivo::testing
