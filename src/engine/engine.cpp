#include "engine/engine.h"

#include <SDL2/SDL.h>

#include "engine/engine_impl.h"
#include "engine/ffmpeg_decoder.h"
#include "engine/module_decoder.h"
#include "engine/net_decoder.h"

namespace kivo::engine {

namespace {

constexpr uint32_t kVersion = 0x02040000;
constexpr uint32_t kDefaultRate = 44100;
constexpr uint32_t kMaxVolume = 10000;

// FFmpeg's subfile protocol gives a region of a file its own address.
std::string FileAddress(const std::string& path, uint64_t offset,
                        uint64_t length) {
  // "file:" keeps a path that looks like an address off the network.
  if (offset == 0 && length == 0) return "file:" + path;
  uint64_t end = length == 0 ? 0 : offset + length;
  return "subfile,,start," + std::to_string(offset) + ",end," +
         std::to_string(end) + ",,:file:" + path;
}

}  // namespace

Engine::Engine() : impl_(std::make_unique<Impl>()) {}

Engine::~Engine() = default;

uint32_t Engine::GetVersion() { return kVersion; }

bool Engine::Init(int device, uint32_t freq, uint32_t) {
  if (!impl_->sdl_audio_) return false;
  std::lock_guard lock(impl_->mutex_);
  if (impl_->output_) return false;  // already initialised
  Impl* impl = impl_.get();
  impl_->output_ = Output::Create(
      device, freq ? freq : kDefaultRate, &impl_->output_settings_,
      [impl](uint32_t channel) {
        impl->syncs_->Push({channel, kSyncEnd, 0});
      },
      [impl] { impl->reaper_->Run([impl] { impl->CloseIdleOutput(); }); });
  return impl_->output_ != nullptr;
}

bool Engine::Free() { return impl_->ReleaseAll(); }

bool Engine::GetDeviceInfo(int device, DeviceInfo* info) {
  if (!impl_->sdl_audio_ || !info) return false;
  std::string name;
  if (!Output::DeviceName(device, &name)) return false;
  info->name = name;
  const char* driver = SDL_GetCurrentAudioDriver();
  info->driver = driver ? driver : "";
  return true;
}

bool Engine::SetConfig(int option, uint32_t value) {
  std::lock_guard lock(impl_->mutex_);
  switch (option) {
    case kConfigGlobalStreamVolume:
    case kConfigGlobalMusicVolume:
      if (value > kMaxVolume) return false;
      (option == kConfigGlobalStreamVolume
           ? impl_->output_settings_.stream_volume
           : impl_->output_settings_.music_volume)
          .store(value);
      return true;
    case kConfigDeviceIdleMs:
      impl_->output_settings_.idle_close_ms.store(value);
      return true;
    case kConfigNetTimeout:
      impl_->net_options_.timeout_ms = value;
      return true;
    case kConfigNetReconnectMs:
      impl_->net_options_.reconnect_ms = value;
      return true;
    case kConfigNetPassive:
      impl_->net_options_.passive_ftp = value != 0;
      return true;
    default:
      return false;
  }
}

bool Engine::SetConfigPtr(int option, const std::optional<std::string>& text) {
  std::lock_guard lock(impl_->mutex_);
  if (option == kConfigNetAgent) {
    impl_->net_options_.agent = text.value_or("");
    return true;
  }
  if (option == kConfigNetProxy) {
    impl_->net_options_.proxy = text.value_or("");
    return true;
  }
  return false;
}

Engine::Handle Engine::PluginLoad(const std::string& path, uint32_t) {
  return impl_->plugins_.Load(path);
}

bool Engine::PluginFree(Handle plugin) { return impl_->plugins_.Free(plugin); }

Engine::Handle Engine::StreamCreateUrl(const std::string& url, uint64_t,
                                       uint32_t, DownloadProc download) {
  if (!IsNetworkAddress(url)) return 0;
  NetOptions options;
  {
    std::lock_guard lock(impl_->mutex_);
    options = impl_->net_options_;
  }
  Handle handle = impl_->ReserveHandle();
  Impl* impl = impl_.get();
  auto decoder =
      NetDecoder::Open(url, options, std::move(download), [impl, handle] {
        impl->syncs_->Push({handle, kSyncMeta, 0});
      });
  return impl_->Add(handle, std::move(decoder), false, false, true);
}

Engine::Handle Engine::StreamCreateFile(const std::string& path,
                                        uint64_t offset, uint64_t length,
                                        uint32_t flags) {
  Handle handle = impl_->ReserveHandle();
  std::unique_ptr<Decoder> decoder =
      FfmpegDecoder::OpenFile(FileAddress(path, offset, length));
  if (!decoder) decoder = impl_->plugins_.Open(path);
  return impl_->Add(handle, std::move(decoder), false,
                    (flags & kStreamDecode) != 0, false);
}

Engine::Handle Engine::MusicLoad(const std::string& path, uint64_t offset,
                                 uint64_t length, uint32_t flags,
                                 uint32_t freq) {
  uint32_t rate = freq ? freq : impl_->DeviceRate();
  Handle handle = impl_->ReserveHandle();
  auto decoder =
      ModuleDecoder::Open(path, offset, length, rate ? rate : kDefaultRate,
                          (flags & kMusicRamp) != 0);
  return impl_->Add(handle, std::move(decoder), true,
                    (flags & kStreamDecode) != 0, false);
}

bool Engine::StreamFree(Handle stream) { return impl_->Release(stream, false); }

bool Engine::MusicFree(Handle music) { return impl_->Release(music, true); }

}  // namespace kivo::engine
