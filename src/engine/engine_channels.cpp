#include <cmath>

#include "engine/engine.h"
#include "engine/engine_impl.h"

namespace kivo::engine {

namespace {

// Positions count 16-bit stereo frames (see engine.h).
constexpr uint64_t kBytesPerFrame = 4;
constexpr uint32_t kPosByte = 0;

}  // namespace

bool Engine::ChannelPlay(Handle handle, bool restart) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  uint32_t rate = impl_->DeviceRate();
  if (!channel || !channel->Play(rate, restart)) return false;
  std::lock_guard lock(impl_->mutex_);
  // Free or a device switch may have come in between: then nothing plays.
  if (!impl_->output_ || impl_->output_->sample_rate() != rate ||
      impl_->channels_.count(handle) == 0) {
    channel->Stop();
    return false;
  }
  if (!impl_->output_->Add(channel)) {
    channel->Stop();  // the device would not open
    return false;
  }
  return true;
}

bool Engine::ChannelPause(Handle handle) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  return channel && channel->Pause();
}

bool Engine::ChannelStop(Handle handle) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  if (!channel || !channel->Stop()) return false;
  std::lock_guard lock(impl_->mutex_);
  if (impl_->output_) impl_->output_->Remove(channel.get());
  return true;
}

int Engine::ChannelIsActive(Handle handle) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  return channel ? channel->State() : kActiveStopped;
}

uint64_t Engine::ChannelGetLength(Handle handle, uint32_t mode) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  if (!channel || mode != kPosByte || channel->format().length_frames < 0) {
    return kLengthError;
  }
  return static_cast<uint64_t>(channel->format().length_frames) *
         kBytesPerFrame;
}

uint64_t Engine::ChannelGetPosition(Handle handle, uint32_t mode) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  if (!channel || mode != kPosByte) return kLengthError;
  return channel->PositionFrames() * kBytesPerFrame;
}

double Engine::ChannelBytes2Seconds(Handle handle, uint64_t bytes) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  if (!channel || bytes == kLengthError) return -1;
  return static_cast<double>(bytes / kBytesPerFrame) /
         channel->format().sample_rate;
}

uint64_t Engine::ChannelSeconds2Bytes(Handle handle, double seconds) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  if (!channel || !(seconds >= 0)) return kLengthError;
  double frames = std::floor(seconds * channel->format().sample_rate + 0.5);
  return static_cast<uint64_t>(frames) * kBytesPerFrame;
}

bool Engine::ChannelSetPosition(Handle handle, uint64_t bytes, uint32_t mode) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  return channel && mode == kPosByte &&
         channel->SetPositionFrames(bytes / kBytesPerFrame);
}

uint32_t Engine::ChannelGetLevel(Handle handle) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  return channel ? channel->Level() : kLevelError;
}

std::optional<std::string> Engine::ChannelGetTags(Handle handle,
                                                  uint32_t tags) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  if (!channel || tags != kTagMeta) return std::nullopt;
  return channel->Metadata();
}

bool Engine::ChannelGetInfo(Handle handle, ChannelInfo* info) {
  std::shared_ptr<Channel> channel = impl_->Find(handle);
  if (!channel || !info) return false;
  info->freq = channel->format().sample_rate;
  info->chans = 2;
  info->flags = channel->decode_only() ? kStreamDecode : 0;
  info->ctype = channel->format().ctype;
  return true;
}

Engine::Handle Engine::ChannelSetSync(Handle handle, uint32_t type, uint64_t,
                                      SyncProc proc) {
  if ((type != kSyncEnd && type != kSyncMeta) || !proc) return 0;
  std::lock_guard lock(impl_->mutex_);
  auto it = impl_->channels_.find(handle);
  if (it == impl_->channels_.end() || !it->second.channel) return 0;
  Handle sync = impl_->next_sync_++;
  if (impl_->next_sync_ == 0) impl_->next_sync_ = 1;
  it->second.syncs.push_back({sync, type, std::move(proc)});
  return sync;
}

bool Engine::ChannelRemoveSync(Handle handle, Handle sync) {
  std::unique_lock lock(impl_->mutex_);
  auto it = impl_->channels_.find(handle);
  if (it == impl_->channels_.end()) return false;
  bool removed = std::erase_if(it->second.syncs, [sync](const Impl::Sync& s) {
                   return s.handle == sync;
                 }) > 0;
  // A call already in progress ends before the caller goes on.
  if (removed) impl_->WaitForCallbacksLocked(lock, handle, sync);
  return removed;
}

}  // namespace kivo::engine
