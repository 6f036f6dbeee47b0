// The shuffle pool of PlaylistModel: serials of entries instead of copies of
// their locations, so that a pooled 100,000-entry list costs a few bytes an
// entry more, not its locations twice.
#include "core/playlist/playlist_model.h"

namespace kivo {

uint32_t PlaylistModel::NewSerial() {
  const auto serial = static_cast<uint32_t>(serial_index_.size());
  serial_index_.push_back(-1);
  serial_pooled_.push_back(false);
  return serial;
}

void PlaylistModel::ReindexSerials(int from, int to) {
  for (int index = from; index <= to; ++index) {
    serial_index_[serials_[index]] = index;
  }
}

std::string_view PlaylistModel::PoolLocation(int k) const {
  const uint32_t serial = pool_[k];
  const int index = serial_index_[serial];
  return index >= 0 ? file_list[index] : left_locations_.at(serial);
}

void PlaylistModel::PoolErase(int k) {
  const uint32_t serial = pool_[k];
  serial_pooled_[serial] = false;
  left_locations_.erase(serial);
  pool_.erase(pool_.begin() + k);
}

void PlaylistModel::RefillPool() {
  ClearPool();
  // Numbered afresh: serials of entries gone for good are let go.
  const int count = Count();
  serial_index_.resize(count);
  serial_pooled_.assign(count, true);
  pool_.resize(count);
  for (int index = 0; index < count; ++index) {
    serials_[index] = static_cast<uint32_t>(index);
    serial_index_[index] = index;
    pool_[index] = static_cast<uint32_t>(index);
  }
}

void PlaylistModel::ClearPool() {
  for (uint32_t serial : pool_) serial_pooled_[serial] = false;
  pool_.clear();
  left_locations_.clear();
}

void PlaylistModel::PoolRemoveFirst(std::string_view location) {
  for (int k = 0; k < PoolSize(); ++k) {
    if (PoolLocation(k) == location) {
      PoolErase(k);
      return;
    }
  }
}

}  // namespace kivo
