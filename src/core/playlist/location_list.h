#pragma once

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

// The playlist's locations, in order, in one character buffer: a location
// costs its bytes and eight more, where a string of its own would cost a
// header and a heap block besides (a 100,000-entry list is held in a third
// less memory). Removing or moving an entry moves the bytes after or between
// them, as the entries of a vector move.
class LocationList {
 public:
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::string_view*;
    using reference = std::string_view;

    const_iterator() = default;
    const_iterator(const LocationList* list, size_t index)
        : list_(list), index_(index) {}
    std::string_view operator*() const { return (*list_)[index_]; }
    const_iterator& operator++() {
      ++index_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const const_iterator& other) const {
      return index_ == other.index_;
    }
    difference_type operator-(const const_iterator& other) const {
      return static_cast<difference_type>(index_) -
             static_cast<difference_type>(other.index_);
    }

   private:
    const LocationList* list_ = nullptr;
    size_t index_ = 0;
  };

  LocationList() = default;
  LocationList(std::initializer_list<std::string_view> locations);
  explicit LocationList(const std::vector<std::string>& locations);

  size_t size() const { return ends_.size(); }
  bool empty() const { return ends_.empty(); }
  std::string_view operator[](size_t index) const {
    const size_t start = StartOf(index);
    return std::string_view(text_).substr(start, ends_[index] - start);
  }
  std::string_view back() const { return (*this)[size() - 1]; }
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, size()); }

  // Room for `count` more locations of `bytes` in all, taken at once.
  void reserve(size_t count, size_t bytes);
  void push_back(std::string_view location);
  void erase(size_t index);
  // The entry at `from` goes to `to`; the ones between close up.
  void move(size_t from, size_t to);
  void clear();

  std::vector<std::string> ToVector() const;

 private:
  size_t StartOf(size_t index) const { return index ? ends_[index - 1] : 0; }

  std::string text_;
  std::vector<size_t> ends_;  // where each location's bytes end in text_
};

}  // namespace kivo
