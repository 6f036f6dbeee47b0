#include "engine/output.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/platform/audio_library.h"
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

Output::Output(int device, uint32_t freq, const OutputSettings* settings,
               EndProc on_end, IdleProc on_idle)
    : device_number_(device),
      sample_rate_(freq),
      settings_(settings),
      on_end_(std::move(on_end)),
      on_idle_(std::move(on_idle)) {
  ended_.reserve(16);
  finished_.reserve(16);
}

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

std::unique_ptr<Output> Output::Create(int device, uint32_t freq,
                                       const OutputSettings* settings,
                                       EndProc on_end, IdleProc on_idle) {
  std::string name;
  if (!DeviceName(device, &name)) return nullptr;
  // SDL converts to the device's own format (no changes allowed when it is
  // opened), so the mixer's rate is the one asked for.
  return std::unique_ptr<Output>(new Output(
      device, freq, settings, std::move(on_end), std::move(on_idle)));
}

Output::~Output() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
}

bool Output::OpenDeviceLocked() {
  std::string name;
  if (!DeviceName(device_number_, &name)) return false;
  SDL_AudioSpec wanted{};
  wanted.freq = static_cast<int>(sample_rate_);
  wanted.format = AUDIO_F32SYS;
  wanted.channels = 2;
  wanted.samples = CallbackFrames(sample_rate_);
  wanted.callback = &Output::Callback;
  wanted.userdata = this;
  SDL_AudioSpec obtained{};
  device_ = SDL_OpenAudioDevice(device_number_ == 1 ? nullptr : name.c_str(), 0,
                                &wanted, &obtained, 0);
  if (device_ == 0) return false;
  // SDL starts its thread with the device paused, and a paused pass writes a
  // buffer of silence: started at once, the first pass is normally ours.
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

bool Output::Add(std::shared_ptr<Channel> channel) {
  std::vector<std::shared_ptr<Channel>> finished = TakeFinished();
  std::lock_guard device_lock(device_mutex_);
  {
    std::lock_guard lock(mixer_mutex_);
    idle_frames_ = 0;
    bool present = false;
    bool draining = false;
    for (const Playing& entry : playing_) {
      present = present || entry.channel == channel;
      draining = draining || entry.channel->Draining();
    }
    if (!present) playing_.push_back({std::move(channel), draining});
  }
  if (device_ != 0 || closing_ || OpenDeviceLocked()) return true;
  StopAllChannels();
  return false;
}

void Output::CloseIfIdle() {
  SDL_AudioDeviceID closing = 0;
  {
    std::lock_guard device_lock(device_mutex_);
    {
      std::lock_guard lock(mixer_mutex_);
      close_asked_ = false;
      if (device_ == 0 || !IdleLongEnoughLocked()) return;
    }
    closing = std::exchange(device_, 0);
    closing_ = true;
    // Once paused, the device never calls back again: a new one may mix.
    SDL_PauseAudioDevice(closing, 1);
  }
  SDL_CloseAudioDevice(closing);
  std::lock_guard device_lock(device_mutex_);
  closing_ = false;
  bool waiting;
  {
    std::lock_guard lock(mixer_mutex_);
    waiting = !NothingToMixLocked();
  }
  // A play that came in meanwhile left the open to us.
  if (waiting && !OpenDeviceLocked()) StopAllChannels();
}

void Output::StopAllChannels() {
  std::lock_guard lock(mixer_mutex_);
  for (Playing& entry : playing_) {
    entry.channel->Stop();
    finished_.push_back(std::move(entry.channel));
  }
  playing_.clear();
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
  stream_gain_ = static_cast<float>(settings_->stream_volume.load()) / 10000.0f;
  music_gain_ = static_cast<float>(settings_->music_volume.load()) / 10000.0f;
  bool ask_close = false;
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
    ask_close = CountIdleLocked(frames);
  }
  for (uint32_t handle : ended_) on_end_(handle);
  if (ask_close) on_idle_();
}

bool Output::CountIdleLocked(size_t frames) {
  if (!NothingToMixLocked()) {
    idle_frames_ = 0;
    return false;
  }
  idle_frames_ += frames;
  if (close_asked_ || !IdleLongEnoughLocked()) return false;
  close_asked_ = true;
  return true;
}

bool Output::IdleLongEnoughLocked() const {
  uint64_t idle_close_frames =
      uint64_t{settings_->idle_close_ms.load()} * sample_rate_ / 1000;
  return NothingToMixLocked() && idle_frames_ >= idle_close_frames;
}

bool Output::NothingToMixLocked() const {
  // A paused channel stays in the mixer, but a resume adds it again and so
  // opens the device again.
  return std::all_of(playing_.begin(), playing_.end(), [](const Playing& e) {
    return e.channel->State() == AudioLibrary::kActivePaused &&
           !e.channel->Draining();
  });
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
