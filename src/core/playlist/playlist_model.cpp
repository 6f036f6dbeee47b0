#include "core/playlist/playlist_model.h"

#include <algorithm>

#include "core/playlist/entry_names.h"
#include "core/util/text.h"

namespace kivo {
namespace {

// The texts of the lines at old indices, re-keyed by where they go.
template <typename NewIndex>
std::map<int, std::string> Rekeyed(std::map<int, std::string>& texts,
                                   NewIndex new_index) {
  std::map<int, std::string> moved;
  for (auto& [index, text] : texts) {
    int to = new_index(index);
    if (to >= 0) moved.emplace(to, std::move(text));
  }
  return moved;
}

}  // namespace

std::string PlaylistModel::Line(int index) const {
  const std::string_view location = file_list[index];
  switch (forms_[index]) {
    case LineForm::kText:
      return texts_.at(index);
    case LineForm::kStream:
      return "[S] " + std::string(location);
    case LineForm::kMissing:
      return "[" + error_word_ + "] " + std::string(location);
    case LineForm::kUnchecked:
      if (IsStreamAddress(location)) return "[S] " + std::string(location);
      return BaseTitle(location);
    case LineForm::kName:
      break;
  }
  return BaseTitle(location);
}

void PlaylistModel::SetLine(int index, std::string line) {
  if (line == BaseTitle(file_list[index])) {
    forms_[index] = LineForm::kName;
    texts_.erase(index);
    return;
  }
  forms_[index] = LineForm::kText;
  texts_[index] = std::move(line);
}

void PlaylistModel::AppendEntry(std::string_view location,
                                const std::string& line,
                                bool into_shuffle_pool) {
  file_list.push_back(location);
  forms_.push_back(LineForm::kUnchecked);
  const uint32_t serial = NewSerial();
  serials_.push_back(serial);
  serial_index_[serial] = Count() - 1;
  if (into_shuffle_pool) {
    pool_.push_back(serial);
    serial_pooled_[serial] = true;
  }
  SetLine(Count() - 1, line);
}

void PlaylistModel::ReplaceLocations(LocationList locations) {
  Clear();
  file_list = std::move(locations);
  forms_.assign(file_list.size(), LineForm::kUnchecked);
  serials_.resize(file_list.size());
  RefillPool();
}

void PlaylistModel::RemoveEntryAt(int index) {
  if (index < 0 || index >= Count()) return;
  const uint32_t serial = serials_[index];
  serial_index_[serial] = -1;
  if (serial_pooled_[serial]) {
    left_locations_[serial] = std::string(file_list[index]);
  }
  file_list.erase(index);
  forms_.erase(forms_.begin() + index);
  serials_.erase(serials_.begin() + index);
  ReindexSerials(index, Count() - 1);
  texts_ = Rekeyed(texts_, [index](int i) {
    return i < index ? i : (i == index ? -1 : i - 1);
  });
  ++layout_generation_;
  if (index == playing_index) {
    playing_index = -1;
  } else if (index < playing_index) {
    --playing_index;
  }
}

void PlaylistModel::MoveEntry(int from, int to) {
  auto move = [from, to](auto& list) {
    auto begin = list.begin();
    if (from < to) {
      std::rotate(begin + from, begin + from + 1, begin + to + 1);
    } else {
      std::rotate(begin + to, begin + from, begin + from + 1);
    }
  };
  file_list.move(from, to);
  move(forms_);
  move(serials_);
  ReindexSerials(std::min(from, to), std::max(from, to));
  texts_ = Rekeyed(texts_, [from, to](int i) {
    if (i == from) return to;
    if (from < i && i <= to) return i - 1;
    if (to <= i && i < from) return i + 1;
    return i;
  });
  ++layout_generation_;
  if (playing_index == from) {
    playing_index = to;
  } else if (from < playing_index && playing_index <= to) {
    --playing_index;
  } else if (to <= playing_index && playing_index < from) {
    ++playing_index;
  }
}

void PlaylistModel::Clear() {
  file_list.clear();
  forms_.clear();
  texts_.clear();
  serials_.clear();
  ClearPool();
  serial_index_.clear();
  serial_pooled_.clear();
  ++layout_generation_;
}

int PlaylistModel::FindLocation(std::string_view location) const {
  for (int i = 0; i < Count(); ++i) {
    if (EqualsIgnoreCase(file_list[i], location)) return i;
  }
  return -1;
}

void PlaylistModel::MarkAllUnchecked(const std::string& error_word) {
  error_word_ = error_word;
  const bool all_unchecked =
      texts_.empty() &&
      std::all_of(forms_.begin(), forms_.end(),
                  [](LineForm form) { return form == LineForm::kUnchecked; });
  if (all_unchecked) return;  // a check under way stays good
  std::fill(forms_.begin(), forms_.end(), LineForm::kUnchecked);
  texts_.clear();
  // Answers to an earlier check would skip the lines this one rewrites.
  ++layout_generation_;
}

int PlaylistModel::FirstUnchecked(int from) const {
  auto found = std::find(forms_.begin() + std::clamp(from, 0, Count()),
                         forms_.end(), LineForm::kUnchecked);
  return found == forms_.end() ? -1 : static_cast<int>(found - forms_.begin());
}

void PlaylistModel::SetChecked(int first, const std::vector<bool>& exists) {
  for (size_t k = 0; k < exists.size(); ++k) {
    const size_t index = first + k;
    if (index >= forms_.size()) return;
    LineForm& form = forms_[index];
    if (form != LineForm::kUnchecked) continue;
    if (exists[k]) {
      form = LineForm::kName;
    } else {
      form = IsStreamAddress(file_list[index]) ? LineForm::kStream
                                               : LineForm::kMissing;
    }
  }
}

}  // namespace kivo
