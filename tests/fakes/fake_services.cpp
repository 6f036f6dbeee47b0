#include "fakes/fake_services.h"

#include <cstdio>

#include "core/util/atomic_file.h"

namespace kivo::testing {

std::vector<std::string> ScriptedDialogs::OpenFiles(const std::string& title,
                                                    const std::string& filter,
                                                    bool) {
  titles.push_back(title);
  filters.push_back(filter);
  if (open_answers.empty()) return {};
  auto answer = open_answers.front();
  open_answers.pop_front();
  return answer;
}

std::optional<std::string> ScriptedDialogs::SaveFile(
    const std::string& title, const std::string& filter,
    const std::string& default_extension, int* filter_index) {
  titles.push_back(title);
  filters.push_back(filter);
  default_extensions.push_back(default_extension);
  if (save_answers.empty() || !save_answers.front()) {
    if (!save_answers.empty()) save_answers.pop_front();
    return std::nullopt;
  }
  auto [path, index] = *save_answers.front();
  save_answers.pop_front();
  if (filter_index) *filter_index = index;
  return path;
}

std::string ScriptedDialogs::PickFolder(const std::string& title) {
  titles.push_back(title);
  if (folder_answers.empty()) return "";
  std::string answer = folder_answers.front();
  folder_answers.pop_front();
  return answer;
}

std::string ScriptedDialogs::InputBox(const std::string& caption,
                                      const std::string& prompt,
                                      const std::string& preset) {
  titles.push_back(caption);
  input_prompts.push_back(prompt);
  if (input_answers.empty()) return preset;
  auto answer = input_answers.front();
  input_answers.pop_front();
  return answer ? *answer : preset;
}

MessageResult ScriptedDialogs::MessageBox(const std::string& text,
                                          const std::string& caption,
                                          MessageIcon icon,
                                          MessageButtons buttons) {
  messages.push_back({text, caption, icon, buttons});
  if (!message_answers.empty()) {
    MessageResult answer = message_answers.front();
    message_answers.pop_front();
    return answer;
  }
  return buttons == MessageButtons::kYesNo ? MessageResult::kNo
                                           : MessageResult::kOk;
}

bool FakeDesktopServices::SetClipboardText(const std::string& text) {
  clipboard = text;
  return true;
}

bool FakeDesktopServices::OpenUrl(const std::string& url) {
  opened_urls.push_back(url);
  return true;
}

bool FakeDesktopServices::MoveToTrash(const std::string& path) {
  if (!trash_works || !FileExists(path)) return false;
  trashed.push_back(path);
  return std::remove(path.c_str()) == 0;
}

bool FakeDesktopServices::DownloadToFile(const std::string& url,
                                         const std::string& path) {
  auto it = downloads.find(url);
  if (it == downloads.end()) return false;
  return WriteFileAtomically(path, it->second);
}

HttpResponse FakeHttpClient::Get(const std::string& url,
                                 const std::optional<HttpProxy>& proxy) {
  requests.push_back({"GET", url, "", proxy});
  if (replies.empty()) return HttpResponse{false, 0, "", "no reply"};
  HttpResponse reply = replies.front();
  replies.pop_front();
  return reply;
}

HttpResponse FakeHttpClient::PostForm(const std::string& url,
                                      const std::string& body,
                                      const std::optional<HttpProxy>& proxy) {
  requests.push_back({"POST", url, body, proxy});
  if (replies.empty()) return HttpResponse{false, 0, "", "no reply"};
  HttpResponse reply = replies.front();
  replies.pop_front();
  return reply;
}

bool FakeHotkeys::Register(int id, int modifiers, int virtual_key) {
  for (int refused : refused_keys) {
    if (refused == virtual_key) return false;
  }
  registered[id] = {modifiers, virtual_key};
  return true;
}

void FakeHotkeys::Unregister(int id) { registered.erase(id); }

bool FakeAssociations::Register(const std::string& type_name,
                                std::string* failed_value) {
  if (type_name == failing_type) {
    if (failed_value) *failed_value = "";
    return false;
  }
  log.push_back("+" + type_name);
  return true;
}

bool FakeAssociations::Restore(const std::string& type_name,
                               std::string* failed_value) {
  if (type_name == failing_type) {
    if (failed_value) *failed_value = "";
    return false;
  }
  log.push_back("-" + type_name);
  return true;
}

void FakeSearchView::ShowModal() {
  if (script) script(*this);
  if (events) events->FormClose();
}

std::unique_ptr<SearchView> FakeSearchWindows::CreateSearchWindow(
    SearchEvents* events) {
  ++created;
  auto view = std::make_unique<FakeSearchView>();
  view->events = events;
  view->script = script;
  return view;
}

void FakeTagWindow::ShowModal(const TagWindowContent& content, int* left,
                              int* top) {
  shown.push_back(content);
  if (move_to_left >= 0) *left = move_to_left;
  if (move_to_top >= 0) *top = move_to_top;
}

}  // namespace kivo::testing
