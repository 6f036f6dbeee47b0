#pragma once

#include <deque>
#include <functional>
#include <string>

#include "core/platform/dialogs.h"

namespace kivo {

// Showing progress lets the event loop run, and whatever arrives then (a
// hand-off, a drop, a worker's posted result) would change the playlist under
// the operation that walks it. Such work passes through the gate: while a
// long operation holds it, the work waits, and it runs in arrival order once
// the user command that started the operation has ended. GUI thread only.
class WorkGate {
 public:
  using Task = std::function<void()>;

  bool Held() const { return held_; }
  // Runs task now, or keeps it until the gate opens.
  void RunOrKeep(Task task);

  // Bracket every user command; commands nest.
  void CommandStarted() { ++commands_; }
  void CommandEnded();

  // Bracket a long operation (Progress does).
  void OperationStarted();
  void OperationEnded();

 private:
  void Open();

  int commands_ = 0;
  int operations_ = 0;
  bool held_ = false;
  bool running_kept_ = false;
  std::deque<Task> kept_;
};

// Reports long GUI-thread work (measuring a playlist, scanning a folder
// tree) every few steps, and ends the report when it goes out of scope. It
// holds the gate from its start until its command ends.
class Progress {
 public:
  Progress(Dialogs& dialogs, WorkGate& gate, std::string text, int total)
      : dialogs_(dialogs), gate_(gate), text_(std::move(text)), total_(total) {
    gate_.OperationStarted();
  }
  ~Progress() {
    if (reported_) dialogs_.ShowProgress(text_, -1, total_);
    gate_.OperationEnded();
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Step() {
    if (++done_ % kEvery != 0) return;
    reported_ = true;
    dialogs_.ShowProgress(text_, done_, total_);
  }

 private:
  static constexpr int kEvery = 32;

  Dialogs& dialogs_;
  WorkGate& gate_;
  std::string text_;
  int total_;
  int done_ = 0;
  bool reported_ = false;
};

}  // namespace kivo
