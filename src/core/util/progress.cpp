#include "core/util/progress.h"

#include <utility>

namespace kivo {

void WorkGate::RunOrKeep(Task task) {
  if (held_) {
    kept_.push_back(std::move(task));
    return;
  }
  task();
}

void WorkGate::CommandEnded() {
  if (--commands_ == 0 && operations_ == 0 && held_) Open();
}

void WorkGate::OperationStarted() {
  ++operations_;
  held_ = true;
}

void WorkGate::OperationEnded() {
  // Outside a command nothing else walks the list once the operation ends.
  if (--operations_ == 0 && commands_ == 0) Open();
}

void WorkGate::Open() {
  held_ = false;
  // A kept task may start a long operation of its own: its own end reopens
  // the gate, and this loop goes on with what waited meanwhile.
  if (running_kept_) return;
  running_kept_ = true;
  try {
    while (!held_ && !kept_.empty()) {
      Task task = std::move(kept_.front());
      kept_.pop_front();
      task();
    }
  } catch (...) {
    running_kept_ = false;
    throw;
  }
  running_kept_ = false;
}

}  // namespace kivo
