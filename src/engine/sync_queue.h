#pragma once

#include <cstdint>

#include "engine/work_queue.h"

namespace kivo::engine {

// A channel event for the sync thread: the channel ended (its last sample has
// gone to the device) or new metadata arrived.
struct SyncEvent {
  uint32_t channel = 0;
  uint32_t type = 0;
  uint32_t data = 0;
};

// The kivo-sync thread. Producers (the audio callback, the network thread)
// only queue an event; a sync callback runs there and may call back into the
// engine, even free the channel.
using SyncQueue = WorkQueue<SyncEvent>;

}  // namespace kivo::engine
