#pragma once

#include <SDL2/SDL.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kivo::engine {

class Channel;

// The global volumes, 0..10000, read by the mixer on every callback so that a
// change is heard at once.
struct GlobalVolumes {
  std::atomic<uint32_t> stream{10000};
  std::atomic<uint32_t> music{10000};
};

// One open SDL output device and the mixer that feeds it: float stereo at the
// device rate. The SDL callback mixes the playing channels and reports each
// channel that has reached its end through `on_end`, which must only queue:
// one device buffer before its last frame goes out, so that a channel
// started from the end sync follows it in the same buffer, without silence.
class Output {
 public:
  using EndProc = std::function<void(uint32_t channel)>;

  // Device 1 is the default output, 2.. SDL's listed outputs. nullptr when the
  // device does not exist or cannot be opened.
  static std::unique_ptr<Output> Open(int device, uint32_t freq,
                                      const GlobalVolumes* volumes,
                                      EndProc on_end);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  uint32_t sample_rate() const { return sample_rate_; }
  // Mixes `channel` from now on (once, however often it is added). Added
  // while another drains its last frames, it starts where that one stops.
  void Add(std::shared_ptr<Channel> channel);
  // Stops mixing `channel`; one that drains (see Channel::Draining) plays its
  // last frames first.
  void Remove(const Channel* channel);

  // The name of device `device` (see Open); false when there is none.
  static bool DeviceName(int device, std::string* name);

 private:
  Output(const GlobalVolumes* volumes, EndProc on_end);
  struct Playing {
    std::shared_ptr<Channel> channel;
    bool follows = false;  // starts where a draining channel stops
    bool finished = false;
  };

  static void Callback(void* user, Uint8* stream, int length);
  void Mix(float* out, size_t frames);
  // Mixes one channel onto `out`; the frame where its sound stops when it
  // finished in this buffer, else 0.
  size_t MixOne(Playing& entry, float* out, size_t frames);
  // Hands over channels that finished, to be released off the audio thread.
  std::vector<std::shared_ptr<Channel>> TakeFinished();

  const GlobalVolumes* volumes_;
  EndProc on_end_;
  SDL_AudioDeviceID device_ = 0;
  uint32_t sample_rate_ = 0;
  // Guards what follows; the only lock the callback takes.
  std::mutex mixer_mutex_;
  std::vector<Playing> playing_;
  // Left the mixer; a freed channel's last reference may be here, and a
  // channel is never destroyed on the audio thread.
  std::vector<std::shared_ptr<Channel>> finished_;
  float stream_gain_ = 1;  // callback scratch, as are these
  float music_gain_ = 1;
  std::vector<uint32_t> ended_;
};

}  // namespace kivo::engine
