#include "fakes/fake_audio_library.h"

#include <cmath>

namespace kivo::testing {

void FakeAudioLibrary::AddMedia(const std::string& location, Media media) {
  std::lock_guard lock(mutex_);
  media_[location] = std::move(media);
}

void FakeAudioLibrary::AddDevice(const std::string& name) {
  std::lock_guard lock(mutex_);
  devices_.push_back(name);
}

bool FakeAudioLibrary::Init(int device, uint32_t, uint32_t) {
  std::lock_guard lock(mutex_);
  if (fail_init || device < 1 || device > static_cast<int>(devices_.size())) {
    return false;
  }
  init_device_ = device;
  return true;
}

bool FakeAudioLibrary::Free() {
  std::lock_guard lock(mutex_);
  channels_.clear();
  init_device_ = 0;
  return true;
}

bool FakeAudioLibrary::GetDeviceInfo(int device, DeviceInfo* info) {
  std::lock_guard lock(mutex_);
  if (device < 1 || device > static_cast<int>(devices_.size())) return false;
  info->name = devices_[device - 1];
  return true;
}

bool FakeAudioLibrary::SetConfig(int option, uint32_t value) {
  std::lock_guard lock(mutex_);
  config_log_.emplace_back(option, std::to_string(value));
  return true;
}

bool FakeAudioLibrary::SetConfigPtr(int option,
                                    const std::optional<std::string>& text) {
  std::lock_guard lock(mutex_);
  config_log_.emplace_back(option, text ? *text : "<none>");
  return true;
}

std::vector<std::pair<int, std::string>> FakeAudioLibrary::config_log() const {
  std::lock_guard lock(mutex_);
  return config_log_;
}

AudioLibrary::Handle FakeAudioLibrary::PluginLoad(const std::string& path,
                                                  uint32_t) {
  std::lock_guard lock(mutex_);
  plugins_loaded.push_back(path);
  return path.find("broken") != std::string::npos ? 0 : next_plugin_++;
}

bool FakeAudioLibrary::PluginFree(Handle plugin) {
  std::lock_guard lock(mutex_);
  plugins_freed.push_back(plugin);
  return true;
}

AudioLibrary::Handle FakeAudioLibrary::Open(const std::string& location,
                                            Media::Kind kind, bool decode,
                                            DownloadProc download) {
  std::lock_guard lock(mutex_);
  auto it = media_.find(location);
  if (it == media_.end() || it->second.kind != kind) return 0;
  Handle handle = next_handle_++;
  Channel& channel = channels_[handle];
  channel.location = location;
  channel.media = it->second;
  channel.decode_only = decode;
  channel.download = std::move(download);
  return handle;
}

AudioLibrary::Handle FakeAudioLibrary::StreamCreateUrl(const std::string& url,
                                                       uint64_t, uint32_t,
                                                       DownloadProc download) {
  return Open(url, Media::kUrl, false, std::move(download));
}

AudioLibrary::Handle FakeAudioLibrary::StreamCreateFile(const std::string& path,
                                                        uint64_t, uint64_t,
                                                        uint32_t flags) {
  return Open(path, Media::kFile, (flags & kStreamDecode) != 0, nullptr);
}

AudioLibrary::Handle FakeAudioLibrary::MusicLoad(const std::string& path,
                                                 uint64_t, uint64_t, uint32_t,
                                                 uint32_t) {
  return Open(path, Media::kModule, false, nullptr);
}

bool FakeAudioLibrary::StreamFree(Handle stream) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(stream);
  if (it == channels_.end() || it->second.media.kind == Media::kModule) {
    return false;
  }
  channels_.erase(it);
  return true;
}

bool FakeAudioLibrary::MusicFree(Handle music) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(music);
  if (it == channels_.end() || it->second.media.kind != Media::kModule) {
    return false;
  }
  channels_.erase(it);
  return true;
}

bool FakeAudioLibrary::ChannelPlay(Handle channel, bool restart) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it == channels_.end() || it->second.decode_only || fail_play) {
    return false;
  }
  if (restart) it->second.position_bytes = 0;
  it->second.state = kActivePlaying;
  return true;
}

bool FakeAudioLibrary::ChannelPause(Handle channel) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it == channels_.end() || it->second.state != kActivePlaying) return false;
  it->second.state = kActivePaused;
  return true;
}

bool FakeAudioLibrary::ChannelStop(Handle channel) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it == channels_.end()) return false;
  it->second.state = kActiveStopped;
  return true;
}

int FakeAudioLibrary::ChannelIsActive(Handle channel) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  return it == channels_.end() ? kActiveStopped : it->second.state;
}

uint64_t FakeAudioLibrary::ChannelGetLength(Handle channel, uint32_t) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it == channels_.end() || it->second.media.length_seconds < 0) {
    return kLengthError;
  }
  return static_cast<uint64_t>(
      std::llround(it->second.media.length_seconds * kBytesPerSecond));
}

uint64_t FakeAudioLibrary::ChannelGetPosition(Handle channel, uint32_t) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  return it == channels_.end() ? kLengthError : it->second.position_bytes;
}

double FakeAudioLibrary::ChannelBytes2Seconds(Handle channel, uint64_t bytes) {
  std::lock_guard lock(mutex_);
  if (!channels_.count(channel) || bytes == kLengthError) return -1;
  return static_cast<double>(bytes) / kBytesPerSecond;
}

uint64_t FakeAudioLibrary::ChannelSeconds2Bytes(Handle channel,
                                                double seconds) {
  std::lock_guard lock(mutex_);
  if (!channels_.count(channel)) return kLengthError;
  return static_cast<uint64_t>(std::llround(seconds * kBytesPerSecond));
}

bool FakeAudioLibrary::ChannelSetPosition(Handle channel, uint64_t bytes,
                                          uint32_t) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it == channels_.end()) return false;
  it->second.position_bytes = bytes;
  return true;
}

uint32_t FakeAudioLibrary::ChannelGetLevel(Handle channel) {
  std::lock_guard lock(mutex_);
  return channels_.count(channel) ? level_ : kLevelError;
}

std::optional<std::string> FakeAudioLibrary::ChannelGetTags(Handle channel,
                                                            uint32_t tags) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it == channels_.end() || tags != kTagMeta ||
      it->second.media.meta.empty()) {
    return std::nullopt;
  }
  return it->second.media.meta;
}

bool FakeAudioLibrary::ChannelGetInfo(Handle channel, ChannelInfo* info) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it == channels_.end()) return false;
  info->freq = 44100;
  info->chans = 2;
  info->ctype = it->second.media.ctype;
  return true;
}

AudioLibrary::Handle FakeAudioLibrary::ChannelSetSync(Handle channel,
                                                      uint32_t type, uint64_t,
                                                      SyncProc proc) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it == channels_.end()) return 0;
  Handle sync = next_sync_++;
  it->second.syncs[sync] = {type, std::move(proc)};
  return sync;
}

bool FakeAudioLibrary::ChannelRemoveSync(Handle channel, Handle sync) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  return it != channels_.end() && it->second.syncs.erase(sync) > 0;
}

std::string FakeAudioLibrary::TagsRead(Handle channel,
                                       const std::string& format) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it == channels_.end()) return "";
  auto tag = it->second.media.tags.find(format);
  return tag == it->second.media.tags.end() ? "" : tag->second;
}

void FakeAudioLibrary::FireSyncs(Handle channel, uint32_t type, uint32_t data) {
  std::vector<std::pair<Handle, SyncProc>> due;
  {
    std::lock_guard lock(mutex_);
    auto it = channels_.find(channel);
    if (it == channels_.end()) return;
    for (auto& [sync, entry] : it->second.syncs) {
      if (entry.first == type) due.emplace_back(sync, entry.second);
    }
  }
  for (auto& [sync, proc] : due) proc(sync, channel, data);
}

void FakeAudioLibrary::FireEnd(Handle channel) {
  {
    std::lock_guard lock(mutex_);
    auto it = channels_.find(channel);
    if (it == channels_.end()) return;
    it->second.state = kActiveStopped;
  }
  FireSyncs(channel, kSyncEnd, 0);
}

void FakeAudioLibrary::FireMeta(Handle channel, const std::string& meta) {
  {
    std::lock_guard lock(mutex_);
    auto it = channels_.find(channel);
    if (it == channels_.end()) return;
    it->second.media.meta = meta;
  }
  FireSyncs(channel, kSyncMeta, 0);
}

void FakeAudioLibrary::Download(Handle channel, const std::string& block) {
  DownloadProc download;
  {
    std::lock_guard lock(mutex_);
    auto it = channels_.find(channel);
    if (it == channels_.end() || !it->second.download) return;
    download = it->second.download;
  }
  if (block.empty()) {
    download(nullptr, 0);
  } else {
    download(block.data(), block.size());
  }
}

void FakeAudioLibrary::SetState(Handle channel, int state) {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  if (it != channels_.end()) it->second.state = state;
}

bool FakeAudioLibrary::Exists(Handle channel) const {
  std::lock_guard lock(mutex_);
  return channels_.count(channel) > 0;
}

FakeAudioLibrary::Channel FakeAudioLibrary::ChannelCopy(Handle channel) const {
  std::lock_guard lock(mutex_);
  auto it = channels_.find(channel);
  return it == channels_.end() ? Channel{} : it->second;
}

std::vector<AudioLibrary::Handle> FakeAudioLibrary::OpenChannels() const {
  std::lock_guard lock(mutex_);
  std::vector<Handle> handles;
  for (const auto& [handle, channel] : channels_) handles.push_back(handle);
  return handles;
}

int FakeAudioLibrary::open_count() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(channels_.size());
}

}  // namespace kivo::testing
