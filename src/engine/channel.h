#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "engine/decoder.h"
#include "engine/frame_ring.h"
#include "engine/heard_levels.h"
#include "engine/resampler.h"

namespace kivo::engine {

// One stream or module: its decoder, the buffer between the decoder and the
// device, and its play state.
//
// Threads: control calls come from any engine caller; MixInto only from the
// audio callback (which never waits for anything but `mutex_`, held briefly);
// the kivo-decode thread, started on the first play, refills the buffer in
// one batch whenever it falls below a low-water mark and sleeps otherwise, so
// that it wakes a few times a minute rather than after every callback.
// Decoding (and seeking) happens under `decoder_mutex_`, never under `mutex_`.
// Once the decode thread runs, nothing but that thread waits for
// `decoder_mutex_`: a seek takes it only when it is free and is otherwise
// handed to the thread, so pausing, resuming, seeking and freeing never wait
// for a read in progress, from a file or the network. The first play and a
// seek that finds the decoder free decode the first slice of a file on the
// caller's thread (a millisecond or two), so that the device never plays a
// buffer of silence while the thread catches up.
class Channel {
 public:
  enum class Run { kStopped, kPlaying, kPaused };

  Channel(uint32_t handle, std::unique_ptr<Decoder> decoder, bool decode_only,
          bool network);
  ~Channel();
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  uint32_t handle() const { return handle_; }
  bool decode_only() const { return decode_only_; }
  bool network() const { return network_; }
  const StreamFormat& format() const { return decoder_->format(); }
  const TagMap& tags() const { return decoder_->tags(); }
  std::optional<std::string> Metadata() const { return decoder_->Metadata(); }

  // Starts or resumes; `restart` goes back to the beginning first. The device
  // rate is fixed by the first call.
  bool Play(uint32_t device_rate, bool restart);
  bool Pause();
  bool Stop();
  int State() const;  // AudioLibrary::kActive... values
  uint64_t PositionFrames() const;
  bool SetPositionFrames(uint64_t frame);
  uint32_t Level() const;
  // Stops the channel for good and wakes a decoder that waits for the
  // network; returns at once.
  void RequestShutdown();
  // After RequestShutdown: waits until the channel's threads have ended. The
  // engine's reaper calls it, never a caller of the engine.
  void Join();

  struct MixOutcome {
    size_t mixed_frames = 0;
    // The end is reached: what is left goes out with the next buffer. The
    // channel counts as stopped from here, and its end sync is due now, so
    // that a channel started from it can begin where this one stops.
    bool end_reached = false;
    // The last frame has gone out, `mixed_frames` into this buffer: the
    // channel leaves the mixer.
    bool finished = false;
  };
  // Audio callback: mixes what is buffered onto `out`, one device buffer of
  // `frames`.
  MixOutcome MixInto(float* out, size_t frames, float gain);
  // Between the end reached and the last frame mixed; a stop ends it.
  bool Draining() const;

 private:
  void StartDecoding(uint32_t device_rate);
  void DecodeLoop();
  bool DecodeChunk(std::vector<float>* chunk, uint64_t epoch);
  // The same under decoder_mutex_, held by the caller.
  bool DecodeChunkLocked(std::vector<float>* chunk, uint64_t epoch);
  // Seeks an idle decoder; under decoder_mutex_.
  bool SeekDecoder(uint64_t frame);
  // Decodes up to `fill_frames` into the ring at once; under decoder_mutex_.
  void FillFirstSlice(uint64_t epoch, size_t fill_frames);
  // Sizes the ring and the resampler for the device; under both mutexes.
  void ConfigureLocked(uint32_t device_rate);
  void ResetBufferLocked(uint64_t frame);
  // After a mix: wakes the decode thread when the buffer ran low.
  bool NeedsRefillLocked();

  const uint32_t handle_;
  const std::unique_ptr<Decoder> decoder_;
  const bool decode_only_;
  const bool network_;

  std::mutex decoder_mutex_;  // serialises Read and Seek of the decoder
  std::unique_ptr<Resampler> resampler_;  // under decoder_mutex_

  mutable std::mutex mutex_;  // guards everything below
  std::condition_variable space_cv_;
  FrameRing ring_;
  Run run_ = Run::kStopped;
  bool stalled_ = false;
  bool refilling_ = true;  // the decode thread fills until the ring is full
  bool decoded_end_ = false;
  bool draining_ = false;
  bool quit_ = false;
  std::atomic<bool> thread_started_{false};
  uint32_t device_rate_ = 0;
  size_t chunk_output_frames_ = 0;
  size_t low_water_frames_ = 0;
  uint64_t base_frame_ = 0;       // channel frame where the buffer starts
  uint64_t consumed_frames_ = 0;  // device frames played since then
  std::optional<uint64_t> pending_seek_;  // for the decode thread
  uint64_t seek_epoch_ = 0;  // counts seeks; a chunk decoded before is stale
  HeardLevels heard_levels_;

  std::thread thread_;
};

}  // namespace kivo::engine
