#include "core/playlist/autosave_writer.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>

#include "core/playlist/kpp_format.h"

namespace kivo {
namespace {

constexpr char kSection[] = "settings";
constexpr char kKey[] = "LastPlayed";

struct Snapshot {
  uint64_t number = 0;  // counts the requests
  LocationList file_list;
  // `LastPlayed` when the list was taken: a write names the file only if
  // nobody has changed it since.
  std::string last_played_before;
};

}  // namespace

// Everything the GUI thread and the writer share; the worker holds it too, so
// it may finish after the writer object is gone. Members ending in _locked
// are read and written with mutex held.
struct AutosaveWriter::Shared {
  std::string path;
  FileWriter write_file;
  std::mutex mutex;
  std::condition_variable write_ended;
  std::optional<Snapshot> pending_locked;
  uint64_t requested_locked = 0;  // the number of the newest request
  uint64_t finished_locked = 0;   // and of the newest one written or failed
  bool writing_locked = false;
  bool worker_started_locked = false;
  // `LastPlayed` before the newest successful write not yet applied.
  std::optional<std::string> written_locked;

  // Writes what is pending with mutex released meanwhile; on_finished runs
  // after the write, with mutex held and the write still counted as running,
  // so a Flush that returns has seen every notice go out.
  template <typename OnFinished>
  void WritePending(std::unique_lock<std::mutex>& lock,
                    OnFinished on_finished) {
    Snapshot snapshot = std::move(*pending_locked);
    pending_locked.reset();
    writing_locked = true;
    lock.unlock();
    bool written = false;
    try {
      written = write_file(path, FormatKpp(snapshot.file_list));
    } catch (const std::exception&) {
      // Out of memory for the text: as any failed autosave, nothing changes,
      // and a Flush must not wait for a write that never ends.
    }
    lock.lock();
    if (written) written_locked = std::move(snapshot.last_played_before);
    finished_locked = snapshot.number;
    on_finished();
    writing_locked = false;
    write_ended.notify_all();
  }

  // The worker: writes until nothing waits any more, one write at a time.
  template <typename OnFinished>
  void WriteUntilNonePending(OnFinished on_finished) {
    std::unique_lock lock(mutex);
    while (true) {
      write_ended.wait(lock, [&] { return !writing_locked; });
      if (!pending_locked) break;
      WritePending(lock, on_finished);
    }
    worker_started_locked = false;
  }
};

AutosaveWriter::AutosaveWriter(EventLoop& loop, const SettingsStore& settings,
                               std::string path, FileWriter write_file)
    : loop_(loop), settings_(settings), shared_(std::make_shared<Shared>()) {
  shared_->path = std::move(path);
  shared_->write_file = std::move(write_file);
}

AutosaveWriter::~AutosaveWriter() { Flush(); }

const std::string& AutosaveWriter::path() const { return shared_->path; }

void AutosaveWriter::Request(LocationList file_list) {
  Snapshot snapshot{0, std::move(file_list),
                    settings_.ReadSettingText(kSection, kKey, "")};
  std::lock_guard lock(shared_->mutex);
  snapshot.number = ++shared_->requested_locked;
  shared_->pending_locked = std::move(snapshot);
  if (shared_->worker_started_locked) return;
  shared_->worker_started_locked = true;
  auto notify = [this, alive = std::weak_ptr<int>(alive_)] {
    loop_.Post([this, alive] {
      if (alive.lock()) ApplyWritten();
    });
  };
  loop_.RunAsync("kivo-save", [shared = shared_, notify] {
    shared->WriteUntilNonePending(notify);
  });
}

void AutosaveWriter::Flush() {
  {
    std::unique_lock lock(shared_->mutex);
    shared_->write_ended.wait(lock, [&] { return !shared_->writing_locked; });
    // The worker may not have begun: the last list is written here, still
    // one write at a time.
    if (shared_->pending_locked) shared_->WritePending(lock, [] {});
  }
  ApplyWritten();
}

void AutosaveWriter::WhenWritten(std::function<void()> task) {
  uint64_t requested = 0;
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->finished_locked != shared_->requested_locked) {
      requested = shared_->requested_locked;
    }
  }
  if (requested == 0) {
    task();
  } else {
    when_written_.emplace_back(requested, std::move(task));
  }
}

void AutosaveWriter::ApplyWritten() {
  std::optional<std::string> before;
  uint64_t finished = 0;
  {
    std::lock_guard lock(shared_->mutex);
    before.swap(shared_->written_locked);
    finished = shared_->finished_locked;
  }
  if (before) NameTheFile(*before);
  std::vector<std::function<void()>> done;
  std::erase_if(when_written_, [&](auto& waiting) {
    if (waiting.first > finished) return false;
    done.push_back(std::move(waiting.second));
    return true;
  });
  for (auto& task : done) task();
}

void AutosaveWriter::NameTheFile(const std::string& last_played_before) {
  const std::string current = settings_.ReadSettingText(kSection, kKey, "");
  if (current == shared_->path || current != last_played_before) return;
  try {
    settings_.WriteText(kSection, kKey, shared_->path);
  } catch (const SettingsWriteError&) {
    // The autosave never bothers the user; the next one tries again.
  }
}

}  // namespace kivo
