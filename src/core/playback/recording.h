#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

namespace kivo {

// The dialog filter for a stream of this format: one entry, its description
// and its pattern.
std::string RecordFilter(const std::string& format_name);

// Writes the raw downloaded blocks of one network stream into a file.
//
// Threads: Arm, Active and End run on the GUI thread; OnBlock runs on the
// audio library's download thread. The flag, the path and the file share one
// mutex, so a block is never written into a file that is being closed and a
// new recording never writes into the previous one's file. on_failure runs on
// the download thread and must only post.
class StreamRecorder {
 public:
  using FailureProc = std::function<void(const std::string& path)>;

  explicit StreamRecorder(FailureProc on_failure)
      : on_failure_(std::move(on_failure)) {}
  ~StreamRecorder();
  StreamRecorder(const StreamRecorder&) = delete;
  StreamRecorder& operator=(const StreamRecorder&) = delete;

  // From now on the blocks of the open `generation` go to path; the file is
  // created (replacing one) with the first block.
  void Arm(const std::string& path, uint64_t generation);
  bool Active() const;
  // Closes the file; true when a recording was active.
  bool End();
  // One downloaded block; data == nullptr: the download has ended. Blocks of
  // other opens are ignored.
  void OnBlock(uint64_t generation, const void* data, size_t length);

 private:
  bool EndLocked();
  // False when the file cannot be created or written; the recording ends.
  bool WriteLocked(const void* data, size_t length);

  FailureProc on_failure_;
  mutable std::mutex mutex_;
  bool active_ = false;
  uint64_t generation_ = 0;
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace kivo
