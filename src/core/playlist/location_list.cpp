#include "core/playlist/location_list.h"

#include <algorithm>

namespace kivo {

LocationList::LocationList(std::initializer_list<std::string_view> locations) {
  for (std::string_view location : locations) push_back(location);
}

LocationList::LocationList(const std::vector<std::string>& locations) {
  for (const std::string& location : locations) push_back(location);
}

void LocationList::reserve(size_t count, size_t bytes) {
  ends_.reserve(ends_.size() + count);
  text_.reserve(text_.size() + bytes);
}

void LocationList::push_back(std::string_view location) {
  text_.append(location);
  ends_.push_back(text_.size());
}

void LocationList::erase(size_t index) {
  const size_t start = StartOf(index);
  const size_t length = ends_[index] - start;
  text_.erase(start, length);
  ends_.erase(ends_.begin() + static_cast<std::ptrdiff_t>(index));
  for (size_t k = index; k < ends_.size(); ++k) ends_[k] -= length;
}

void LocationList::move(size_t from, size_t to) {
  if (from == to) return;
  auto at = [this](size_t offset) { return text_.begin() + offset; };
  const size_t start = StartOf(from);
  const size_t length = ends_[from] - start;
  if (from < to) {
    std::rotate(at(start), at(ends_[from]), at(ends_[to]));
    for (size_t k = from; k < to; ++k) ends_[k] = ends_[k + 1] - length;
  } else {
    const size_t to_start = StartOf(to);
    std::rotate(at(to_start), at(start), at(ends_[from]));
    for (size_t k = from; k > to; --k) ends_[k] = ends_[k - 1] + length;
    ends_[to] = to_start + length;
  }
}

void LocationList::clear() {
  // Gives the memory back: a cleared list may have been a long one.
  std::string().swap(text_);
  std::vector<size_t>().swap(ends_);
}

std::vector<std::string> LocationList::ToVector() const {
  return std::vector<std::string>(begin(), end());
}

}  // namespace kivo
