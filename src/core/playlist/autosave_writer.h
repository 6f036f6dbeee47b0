#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/app/settings_store.h"
#include "core/platform/event_loop.h"
#include "core/playlist/location_list.h"

namespace kivo {

// Writes the autosaved playlist away from the GUI thread: a slow disk (the
// write and its fsyncs) must never hold up the window.
//
// Request and Flush are called on the GUI thread. One `kivo-save` worker at
// a time writes, so two writes never race; a request made while a write runs
// replaces any request still waiting, and the newest list is written next.
// After a write that succeeded, `LastPlayed` names the file again on the GUI
// thread, unless a load, a save or a close changed `LastPlayed` after the
// request. Flush finishes the write in progress and the one waiting before
// it returns: the program calls it before it ends, so no change is lost.
// WhenWritten runs a task on the GUI thread once every list requested so far
// has been written (or has failed to be).
class AutosaveWriter {
 public:
  // Replaces a file whole; false when it could not.
  using FileWriter =
      std::function<bool(const std::string& path, std::string_view content)>;

  AutosaveWriter(EventLoop& loop, const SettingsStore& settings,
                 std::string path, FileWriter write_file);
  AutosaveWriter(const AutosaveWriter&) = delete;
  AutosaveWriter& operator=(const AutosaveWriter&) = delete;
  ~AutosaveWriter();  // flushes

  const std::string& path() const;

  // Returns at once; the list is written in the background.
  void Request(LocationList file_list);
  void Flush();
  void WhenWritten(std::function<void()> task);

 private:
  struct Shared;

  // After writes ended: `LastPlayed`, then the tasks whose lists are done.
  void ApplyWritten();
  void NameTheFile(const std::string& last_played_before);

  EventLoop& loop_;
  const SettingsStore& settings_;
  std::shared_ptr<Shared> shared_;
  // Each with the number of the last request made before it.
  std::vector<std::pair<uint64_t, std::function<void()>>> when_written_;
  // Posted notices hold it weakly: one that arrives after the writer is gone
  // does nothing.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace kivo
