#include "core/app/gated_event_loop.h"

#include <utility>

namespace kivo {

void GatedEventLoop::Post(Task task) {
  // Any thread: the gate is asked only when the task runs on the GUI thread.
  loop_.Post([this, task = std::move(task)]() mutable {
    gate_.RunOrKeep(std::move(task));
  });
}

}  // namespace kivo
