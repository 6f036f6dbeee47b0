#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "engine/channel.h"
#include "engine/engine.h"
#include "engine/net_source.h"
#include "engine/output.h"
#include "engine/plugin_host.h"
#include "engine/reaper.h"
#include "engine/sync_queue.h"

namespace kivo::engine {

// The engine's shared state. `mutex_` guards the channel table, the output and
// the network options; it is never held while a decoder works, while a
// callback runs or while a thread is joined. Freed channels go to the reaper,
// so no caller waits for their threads. A caller that removes a sync or frees
// a channel does wait for a call of that sync (or of that channel's syncs)
// in progress, unless it is that call: the caller may then drop what the
// callback uses.
class Engine::Impl {
 public:
  struct Sync {
    Handle handle = 0;
    uint32_t type = 0;
    SyncProc proc;
  };
  struct Entry {
    std::shared_ptr<Channel> channel;
    bool module = false;
    std::vector<Sync> syncs;
  };

  Impl();
  ~Impl();

  std::shared_ptr<Channel> Find(Handle handle) const;
  Handle ReserveHandle();
  // Registers a channel under a handle from ReserveHandle; 0 without decoder.
  Handle Add(Handle handle, std::unique_ptr<Decoder> decoder, bool module,
             bool decode_only, bool network);
  // Frees a stream (module false) or a module (module true).
  bool Release(Handle handle, bool module);
  // Takes every channel and the output out; the channels go to the reaper.
  bool ReleaseAll();
  // On the reaper: closes the output device if it is still idle.
  void CloseIdleOutput();
  uint32_t DeviceRate() const;
  void Dispatch(const SyncEvent& event);
  // Under `lock` (on mutex_): waits until no callback of `channel` (0: of any
  // channel) or of `sync` (0: of any sync) is running.
  void WaitForCallbacksLocked(std::unique_lock<std::mutex>& lock,
                              Handle channel, Handle sync);

  mutable std::mutex mutex_;
  std::unordered_map<Handle, Entry> channels_;
  // Shared with a close of the idle device in progress on the reaper.
  std::shared_ptr<Output> output_;
  NetOptions net_options_;
  Handle next_handle_ = 1;
  Handle next_sync_ = 1;
  OutputSettings output_settings_;
  PluginHost plugins_;
  bool sdl_audio_ = false;
  std::unique_ptr<SyncQueue> syncs_;
  // The sync being called on the sync thread (0 between calls).
  Handle calling_channel_ = 0;
  Handle calling_sync_ = 0;
  std::condition_variable call_done_cv_;
  std::unique_ptr<Reaper> reaper_;
};

}  // namespace kivo::engine
