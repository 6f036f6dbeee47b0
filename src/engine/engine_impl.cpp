#include "engine/engine_impl.h"

#include <SDL2/SDL.h>
#include <curl/curl.h>

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <mutex>

namespace kivo::engine {

namespace {
std::once_flag curl_once;
// True on the sync thread while it calls a sync: a callback that removes its
// own sync or frees its channel must not wait for itself.
thread_local bool in_sync_call = false;
}  // namespace

Engine::Impl::Impl() {
  std::call_once(curl_once, [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    // Damaged files are routine for a player; FFmpeg's notes about them go
    // nowhere useful.
    av_log_set_level(AV_LOG_QUIET);
  });
  // Signals belong to the program: SDL's own handlers would swallow SIGINT
  // and SIGTERM into a quit event that nobody reads.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  sdl_audio_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  syncs_ = std::make_unique<SyncQueue>(
      "kivo-sync", [this](SyncEvent& event) { Dispatch(event); });
  reaper_ = std::make_unique<Reaper>();
}

Engine::Impl::~Impl() {
  ReleaseAll();
  // A close of the idle device under way may hold the last output, whose
  // audio thread may still ask the reaper for work: both end before it goes.
  reaper_->Drain();
  // Download threads may still queue a sync until the reaper has ended them.
  reaper_.reset();
  syncs_.reset();
  if (sdl_audio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::shared_ptr<Channel> Engine::Impl::Find(Handle handle) const {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(handle);
  return it == channels_.end() ? nullptr : it->second.channel;
}

Engine::Handle Engine::Impl::ReserveHandle() {
  std::lock_guard lock(mutex_);
  // Handles are not reused soon, so a stale handle stays stale.
  do {
    ++next_handle_;
  } while (next_handle_ == 0 || channels_.count(next_handle_) != 0);
  channels_[next_handle_] = Entry{};
  return next_handle_;
}

Engine::Handle Engine::Impl::Add(Handle handle,
                                 std::unique_ptr<Decoder> decoder, bool module,
                                 bool decode_only, bool network) {
  if (!decoder) {
    std::lock_guard lock(mutex_);
    channels_.erase(handle);
    return 0;
  }
  auto channel = std::make_shared<Channel>(handle, std::move(decoder),
                                           decode_only, network);
  std::lock_guard lock(mutex_);
  Entry& entry = channels_[handle];
  entry.channel = std::move(channel);
  entry.module = module;
  return handle;
}

bool Engine::Impl::Release(Handle handle, bool module) {
  std::shared_ptr<Channel> channel;
  {
    std::unique_lock lock(mutex_);
    auto it = channels_.find(handle);
    if (it == channels_.end() || !it->second.channel ||
        it->second.module != module) {
      return false;
    }
    channel = std::move(it->second.channel);
    channels_.erase(it);
    if (output_) output_->Remove(channel.get());
    WaitForCallbacksLocked(lock, handle, 0);
  }
  channel->RequestShutdown();
  reaper_->Bury(std::move(channel));
  return true;
}

bool Engine::Impl::ReleaseAll() {
  std::shared_ptr<Output> output;
  std::vector<std::shared_ptr<Channel>> channels;
  {
    std::unique_lock lock(mutex_);
    output = std::move(output_);
    // Entries still opening (no channel yet) stay reserved for their opener.
    for (auto it = channels_.begin(); it != channels_.end();) {
      if (it->second.channel) {
        channels.push_back(std::move(it->second.channel));
        it = channels_.erase(it);
      } else {
        ++it;
      }
    }
    WaitForCallbacksLocked(lock, 0, 0);
  }
  bool had_output = output != nullptr;
  output.reset();  // the audio thread stops here, or ends a close under way
  for (auto& channel : channels) {
    channel->RequestShutdown();
    reaper_->Bury(std::move(channel));
  }
  return had_output;
}

void Engine::Impl::CloseIdleOutput() {
  std::shared_ptr<Output> output;
  {
    std::lock_guard lock(mutex_);
    output = output_;
  }
  if (output) output->CloseIfIdle();
}

uint32_t Engine::Impl::DeviceRate() const {
  std::lock_guard lock(mutex_);
  return output_ ? output_->sample_rate() : 0;
}

void Engine::Impl::Dispatch(const SyncEvent& event) {
  std::vector<Handle> due;
  {
    std::lock_guard lock(mutex_);
    auto it = channels_.find(event.channel);
    if (it == channels_.end()) return;
    for (const Sync& sync : it->second.syncs) {
      if (sync.type == event.type) due.push_back(sync.handle);
    }
  }
  for (Handle handle : due) {
    SyncProc proc;
    {
      std::lock_guard lock(mutex_);
      // An earlier callback, or another thread, may have taken it away.
      auto it = channels_.find(event.channel);
      if (it == channels_.end()) return;
      auto sync =
          std::find_if(it->second.syncs.begin(), it->second.syncs.end(),
                       [handle](const Sync& s) { return s.handle == handle; });
      if (sync == it->second.syncs.end()) continue;
      proc = sync->proc;
      calling_channel_ = event.channel;
      calling_sync_ = handle;
    }
    in_sync_call = true;
    proc(handle, event.channel, event.data);
    in_sync_call = false;
    {
      std::lock_guard lock(mutex_);
      calling_channel_ = calling_sync_ = 0;
    }
    call_done_cv_.notify_all();
  }
}

void Engine::Impl::WaitForCallbacksLocked(std::unique_lock<std::mutex>& lock,
                                          Handle channel, Handle sync) {
  if (in_sync_call) return;
  call_done_cv_.wait(lock, [&] {
    return calling_sync_ == 0 ||
           (channel != 0 && calling_channel_ != channel) ||
           (sync != 0 && calling_sync_ != sync);
  });
}

}  // namespace kivo::engine
