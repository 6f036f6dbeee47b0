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

// What the mixer reads on every callback, so that a change applies at once:
// the global volumes, 0..10000, and how long the device may run with nothing
// to play.
struct OutputSettings {
  std::atomic<uint32_t> stream_volume{10000};
  std::atomic<uint32_t> music_volume{10000};
  std::atomic<uint32_t> idle_close_ms{10000};
};

// One SDL output device and the mixer that feeds it: float stereo at the
// device rate. The SDL callback mixes the playing channels and reports each
// channel that has reached its end through `on_end`, which must only queue:
// one device buffer before its last frame goes out, so that a channel
// started from the end sync follows it in the same buffer, without silence.
//
// The device runs only while there is something to mix: the first Add opens
// it, so that its first buffer already holds the channel, and after
// OutputSettings::idle_close_ms with nothing to mix (no channel playing,
// stalled or draining; paused ones may wait) the callback asks through
// `on_idle`, which must only queue, for CloseIfIdle on another thread. An
// idle or long-paused player thus has no audio thread waking it up, and a
// resume opens the device again.
class Output {
 public:
  using EndProc = std::function<void(uint32_t channel)>;
  using IdleProc = std::function<void()>;

  // Device 1 is the default output, 2.. SDL's listed outputs. nullptr when the
  // device does not exist; whether it opens shows at the first Add.
  static std::unique_ptr<Output> Create(int device, uint32_t freq,
                                        const OutputSettings* settings,
                                        EndProc on_end, IdleProc on_idle);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  uint32_t sample_rate() const { return sample_rate_; }
  // Mixes `channel` from now on (once, however often it is added), opening
  // the device if it is closed; false when it cannot be opened. Added while
  // another drains its last frames, it starts where that one stops. Waits for
  // an open in progress, never for a close: a device still closing is
  // reopened by its closer.
  bool Add(std::shared_ptr<Channel> channel);
  // Stops mixing `channel`; one that drains (see Channel::Draining) plays its
  // last frames first.
  void Remove(const Channel* channel);

  // Closes the device if nothing has been mixed for the idle time. Waits for
  // SDL's audio thread to end, so never on that thread nor a caller's.
  void CloseIfIdle();

  // The name of device `device` (see Create); false when there is none.
  static bool DeviceName(int device, std::string* name);

 private:
  Output(int device, uint32_t freq, const OutputSettings* settings,
         EndProc on_end, IdleProc on_idle);
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
  // After a mix: whether to ask for CloseIfIdle now.
  bool CountIdleLocked(size_t frames);
  bool IdleLongEnoughLocked() const;
  // No channel plays, stalls or drains: at most paused ones wait.
  bool NothingToMixLocked() const;
  // Hands over channels that finished, to be released off the audio thread.
  std::vector<std::shared_ptr<Channel>> TakeFinished();
  // Opens and starts the device; under device_mutex_.
  bool OpenDeviceLocked();
  // When the device cannot be opened: what was to play stops.
  void StopAllChannels();

  const int device_number_;
  const uint32_t sample_rate_;
  const OutputSettings* settings_;
  EndProc on_end_;
  IdleProc on_idle_;
  // Guards the device's state; the callback never takes it.
  std::mutex device_mutex_;
  SDL_AudioDeviceID device_ = 0;
  bool closing_ = false;  // CloseIfIdle waits for SDL's thread to end
  // Guards what follows; the only lock the callback takes.
  std::mutex mixer_mutex_;
  size_t idle_frames_ = 0;    // mixed with nothing to play, in a row
  bool close_asked_ = false;  // on_idle called, CloseIfIdle not yet run
  std::vector<Playing> playing_;
  // Left the mixer; a freed channel's last reference may be here, and a
  // channel is never destroyed on the audio thread.
  std::vector<std::shared_ptr<Channel>> finished_;
  float stream_gain_ = 1;  // callback scratch, as are these
  float music_gain_ = 1;
  std::vector<uint32_t> ended_;
};

}  // namespace kivo::engine
