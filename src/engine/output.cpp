#include "engine/output.h"

#include <algorithm>
#include <cstring>

#include "engine/channel.h"

namespace kivo::engine {

namespace {

// The device buffer: as large as possible for few wakeups, while a pause, a
// seek or a volume change, applied at the next callback and heard after the
// buffer the device still holds, stays within about 100 ms.
constexpr uint32_t kCallbackMs = 50;

Uint16 CallbackFrames(uint32_t rate) {
  uint32_t frames = 256;
  while (frames * 2 <= rate * kCallbackMs / 1000) frames *= 2;
  return static_cast<Uint16>(std::min<uint32_t>(frames, 32768));
}

}  // namespace

Output::Output(const GlobalVolumes* volumes, EndProc on_end)
    : volumes_(volumes), on_end_(std::move(on_end)) {}

bool Output::DeviceName(int device, std::string* name) {
  if (device == 1) {
    *name = "Default";
    return true;
  }
  if (device < 2 || device - 2 >= SDL_GetNumAudioDevices(0)) return false;
  const char* listed = SDL_GetAudioDeviceName(device - 2, 0);
  if (!listed) return false;
  *name = listed;
  return true;
}

std::unique_ptr<Output> Output::Open(int device, uint32_t freq,
                                     const GlobalVolumes* volumes,
                                     EndProc on_end) {
  std::string name;
  if (!DeviceName(device, &name)) return nullptr;
  std::unique_ptr<Output> output(new Output(volumes, std::move(on_end)));
  SDL_AudioSpec wanted{};
  wanted.freq = freq ? static_cast<int>(freq) : 44100;
  wanted.format = AUDIO_F32SYS;
  wanted.channels = 2;
  wanted.samples = CallbackFrames(static_cast<uint32_t>(wanted.freq));
  wanted.callback = &Output::Callback;
  wanted.userdata = output.get();
  SDL_AudioSpec obtained{};
  output->device_ = SDL_OpenAudioDevice(device == 1 ? nullptr : name.c_str(), 0,
                                        &wanted, &obtained, 0);
  if (output->device_ == 0) return nullptr;
  output->sample_rate_ = static_cast<uint32_t>(obtained.freq);
  output->ended_.reserve(16);
  SDL_PauseAudioDevice(output->device_, 0);
  return output;
}

Output::~Output() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
}

void Output::Add(std::shared_ptr<Channel> channel) {
  std::lock_guard lock(mixer_mutex_);
  if (std::find(playing_.begin(), playing_.end(), channel) == playing_.end()) {
    playing_.push_back(std::move(channel));
  }
}

void Output::Remove(const Channel* channel) {
  std::lock_guard lock(mixer_mutex_);
  std::erase_if(playing_, [channel](const std::shared_ptr<Channel>& c) {
    return c.get() == channel;
  });
}

void Output::Callback(void* user, Uint8* stream, int length) {
  std::memset(stream, 0, static_cast<size_t>(length));
  static_cast<Output*>(user)->Mix(
      reinterpret_cast<float*>(stream),
      static_cast<size_t>(length) / (2 * sizeof(float)));
}

void Output::Mix(float* out, size_t frames) {
  float stream_gain = static_cast<float>(volumes_->stream.load()) / 10000.0f;
  float music_gain = static_cast<float>(volumes_->music.load()) / 10000.0f;
  {
    std::lock_guard lock(mixer_mutex_);
    ended_.clear();
    for (const auto& channel : playing_) {
      float gain = channel->format().is_module ? music_gain : stream_gain;
      if (channel->MixInto(out, frames, gain)) {
        ended_.push_back(channel->handle());
      }
    }
    // An ended channel leaves the mixer; the engine still owns it.
    std::erase_if(playing_, [this](const std::shared_ptr<Channel>& c) {
      return std::find(ended_.begin(), ended_.end(), c->handle()) !=
             ended_.end();
    });
  }
  for (uint32_t handle : ended_) on_end_(handle);
}

}  // namespace kivo::engine
