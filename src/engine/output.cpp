#include "engine/output.h"

#include <algorithm>
#include <cstring>

#include "engine/channel.h"

namespace kivo::engine {

namespace {

// The device buffer: the largest power of two of frames within 100 ms (4,096
// frames at 44.1 and 48 kHz, about ten callbacks a second), so that a pause,
// a seek or a volume change, applied at the next callback, still leaves the
// device within a tenth of a second.
constexpr uint32_t kCallbackMs = 100;

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
  output->finished_.reserve(16);
  SDL_PauseAudioDevice(output->device_, 0);
  return output;
}

Output::~Output() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
}

void Output::Add(std::shared_ptr<Channel> channel) {
  std::vector<std::shared_ptr<Channel>> finished = TakeFinished();
  std::lock_guard lock(mixer_mutex_);
  bool present = false;
  bool draining = false;
  for (const Playing& entry : playing_) {
    present = present || entry.channel == channel;
    draining = draining || entry.channel->Draining();
  }
  if (!present) playing_.push_back({std::move(channel), draining});
}

void Output::Remove(const Channel* channel) {
  std::vector<std::shared_ptr<Channel>> finished = TakeFinished();
  std::lock_guard lock(mixer_mutex_);
  std::erase_if(playing_, [channel](const Playing& entry) {
    return entry.channel.get() == channel && !entry.channel->Draining();
  });
}

std::vector<std::shared_ptr<Channel>> Output::TakeFinished() {
  std::vector<std::shared_ptr<Channel>> finished;
  std::lock_guard lock(mixer_mutex_);
  finished.swap(finished_);
  return finished;
}

void Output::Callback(void* user, Uint8* stream, int length) {
  std::memset(stream, 0, static_cast<size_t>(length));
  static_cast<Output*>(user)->Mix(
      reinterpret_cast<float*>(stream),
      static_cast<size_t>(length) / (2 * sizeof(float)));
}

void Output::Mix(float* out, size_t frames) {
  stream_gain_ = static_cast<float>(volumes_->stream.load()) / 10000.0f;
  music_gain_ = static_cast<float>(volumes_->music.load()) / 10000.0f;
  {
    std::lock_guard lock(mixer_mutex_);
    ended_.clear();
    size_t end_frame = 0;
    for (Playing& entry : playing_) {
      if (!entry.follows) {
        end_frame = std::max(end_frame, MixOne(entry, out, frames));
      }
    }
    for (Playing& entry : playing_) {
      if (entry.follows) {
        entry.follows = false;
        MixOne(entry, out + end_frame * 2, frames - end_frame);
      }
    }
    // A finished channel leaves the mixer; others may still hold it.
    for (Playing& entry : playing_) {
      if (entry.finished) finished_.push_back(std::move(entry.channel));
    }
    std::erase_if(playing_,
                  [](const Playing& entry) { return entry.finished; });
  }
  for (uint32_t handle : ended_) on_end_(handle);
}

size_t Output::MixOne(Playing& entry, float* out, size_t frames) {
  Channel& channel = *entry.channel;
  float gain = channel.format().is_module ? music_gain_ : stream_gain_;
  Channel::MixOutcome outcome = channel.MixInto(out, frames, gain);
  if (outcome.end_reached) ended_.push_back(channel.handle());
  entry.finished = outcome.finished;
  return outcome.finished ? outcome.mixed_frames : 0;
}

}  // namespace kivo::engine
