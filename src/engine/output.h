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
// channel whose end has been heard through `on_end`, which must only queue.
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
  // Mixes `channel` from now on (once, however often it is added).
  void Add(std::shared_ptr<Channel> channel);
  void Remove(const Channel* channel);

  // The name of device `device` (see Open); false when there is none.
  static bool DeviceName(int device, std::string* name);

 private:
  Output(const GlobalVolumes* volumes, EndProc on_end);
  static void Callback(void* user, Uint8* stream, int length);
  void Mix(float* out, size_t frames);

  const GlobalVolumes* volumes_;
  EndProc on_end_;
  SDL_AudioDeviceID device_ = 0;
  uint32_t sample_rate_ = 0;
  std::mutex mixer_mutex_;  // guards playing_; the only lock the callback takes
  std::vector<std::shared_ptr<Channel>> playing_;
  std::vector<uint32_t> ended_;  // callback scratch, under mixer_mutex_
};

}  // namespace kivo::engine
