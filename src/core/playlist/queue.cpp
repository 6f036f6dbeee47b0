#include "core/playlist/queue.h"

#include "core/playlist/entry_names.h"
#include "core/util/text.h"

namespace kivo {
namespace {

std::string Marked(size_t position, const std::string& text) {
  return IntText(static_cast<long long>(position)) + " > " + text;
}

}  // namespace

int Queue::Find(const std::string& location) const {
  for (size_t k = 0; k < queue_list_.size(); ++k) {
    if (EqualsIgnoreCase(queue_list_[k], location)) return static_cast<int>(k);
  }
  return -1;
}

void Queue::QueueToggle(int index) {
  if (index < 0 || index >= model_.Count() || index == model_.playing_index) {
    return;
  }
  const std::string location(model_.file_list[index]);
  int queued = Find(location);
  if (queued < 0) {
    queue_list_.push_back(location);
    model_.SetLine(index, Marked(queue_list_.size(), model_.Line(index)));
    return;
  }
  model_.SetLine(index, BaseTitle(location));
  queue_list_.erase(queue_list_.begin() + queued);
  RenumberQueue();
}

void Queue::RenumberQueue() {
  for (size_t k = 0; k < queue_list_.size(); ++k) {
    int entry = model_.FindLocation(queue_list_[k]);
    if (entry < 0) continue;
    model_.SetLine(entry, Marked(k + 1, BaseTitle(model_.file_list[entry])));
  }
}

int Queue::PopQueue() {
  if (queue_list_.empty()) return -1;
  int entry = model_.FindLocation(queue_list_.front());
  queue_list_.erase(queue_list_.begin());
  RenumberQueue();
  return entry;
}

void Queue::UnqueueStarted() {
  int playing = model_.playing_index;
  if (queue_list_.empty() || playing < 0 || playing >= model_.Count()) return;
  int queued = Find(std::string(model_.file_list[playing]));
  if (queued < 0) return;
  queue_list_.erase(queue_list_.begin() + queued);
  RenumberQueue();
}

}  // namespace kivo
