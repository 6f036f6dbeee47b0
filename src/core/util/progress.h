#pragma once

#include <string>

#include "core/platform/dialogs.h"

namespace kivo {

// Reports long GUI-thread work (measuring a playlist, scanning a folder
// tree) every few steps, and ends the report when it goes out of scope.
class Progress {
 public:
  Progress(Dialogs& dialogs, std::string text, int total)
      : dialogs_(dialogs), text_(std::move(text)), total_(total) {}
  ~Progress() {
    if (reported_) dialogs_.ShowProgress(text_, -1, total_);
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
  std::string text_;
  int total_;
  int done_ = 0;
  bool reported_ = false;
};

}  // namespace kivo
