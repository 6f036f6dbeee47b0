#include "engine/channel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/platform/audio_library.h"
#include "engine/thread_name.h"

namespace kivo::engine {

namespace {

constexpr size_t kChunkFrames = 2048;
// The decode thread sleeps while more than kLowWaterMs is buffered and then
// fills up to kBufferMs at once: one wakeup per 3.5 s of music.
constexpr uint32_t kBufferMs = 4000;
constexpr uint32_t kLowWaterMs = 500;
// A first play or a seek decodes this much before it returns, more than one
// device buffer, so that the next callback plays rather than silence.
constexpr uint32_t kFirstSliceMs = 150;
constexpr uint32_t kLevelSliceMs = 20;
// A stalled network stream plays again once this much is buffered.
constexpr uint32_t kResumeMs = 200;

uint32_t ToLevel(float peak) {
  return static_cast<uint32_t>(std::lround(std::min(peak, 1.0f) * 32768.0f));
}

}  // namespace

Channel::Channel(uint32_t handle, std::unique_ptr<Decoder> decoder,
                 bool decode_only, bool network)
    : handle_(handle),
      decoder_(std::move(decoder)),
      decode_only_(decode_only),
      network_(network),
      ring_(0) {}

Channel::~Channel() {
  RequestShutdown();
  Join();
}

void Channel::RequestShutdown() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    run_ = Run::kStopped;
  }
  space_cv_.notify_all();
  decoder_->Interrupt();
}

void Channel::Join() {
  std::thread thread;
  {
    std::lock_guard lock(mutex_);
    thread = std::move(thread_);
  }
  if (thread.joinable()) thread.join();
  decoder_->WaitStopped();
}

bool Channel::Play(uint32_t device_rate, bool restart) {
  if (decode_only_ || device_rate == 0) return false;
  bool ended;
  {
    std::lock_guard lock(mutex_);
    if (quit_) return false;
    ended = decoded_end_ && (draining_ || ring_.empty());
  }
  // A channel that never played is at its start already; seeking there would
  // only cost a decoder reset.
  bool at_start = PositionFrames() == 0 && !thread_started_;
  if ((ended || (restart && !at_start)) && format().seekable) {
    SetPositionFrames(0);
  }
  StartDecoding(device_rate);
  std::lock_guard lock(mutex_);
  if (quit_) return false;
  run_ = Run::kPlaying;
  return true;
}

void Channel::StartDecoding(uint32_t device_rate) {
  // A running decode thread may hold the decoder in a network read.
  if (thread_started_) return;
  std::lock_guard decoder_lock(decoder_mutex_);
  uint64_t epoch;
  size_t fill_frames;
  {
    std::lock_guard lock(mutex_);
    if (thread_started_ || quit_) return;
    ConfigureLocked(device_rate);
    epoch = seek_epoch_;
    fill_frames = network_ ? 0 : device_rate * kFirstSliceMs / 1000;
  }
  FillFirstSlice(epoch, fill_frames);
  std::lock_guard lock(mutex_);
  if (quit_) return;
  thread_ = std::thread([this] { DecodeLoop(); });
  thread_started_ = true;
}

void Channel::ConfigureLocked(uint32_t device_rate) {
  device_rate_ = device_rate;
  uint32_t rate = format().sample_rate;
  chunk_output_frames_ = kChunkFrames;
  if (rate != device_rate) {
    resampler_ = std::make_unique<Resampler>(rate, device_rate);
    chunk_output_frames_ = resampler_->MaxOutput(kChunkFrames);
  }
  size_t capacity = std::max<size_t>(device_rate * kBufferMs / 1000,
                                     chunk_output_frames_ * 2);
  ring_ = FrameRing(capacity);
  low_water_frames_ = std::min<size_t>(device_rate * kLowWaterMs / 1000,
                                       capacity - chunk_output_frames_);
  heard_levels_.Configure(device_rate, device_rate * kLevelSliceMs / 1000);
}

bool Channel::Pause() {
  std::lock_guard lock(mutex_);
  if (run_ != Run::kPlaying) return false;
  run_ = Run::kPaused;
  return true;
}

bool Channel::Stop() {
  std::lock_guard lock(mutex_);
  if (decode_only_) return false;
  run_ = Run::kStopped;
  draining_ = false;
  return true;
}

bool Channel::Draining() const {
  std::lock_guard lock(mutex_);
  return draining_;
}

int Channel::State() const {
  std::lock_guard lock(mutex_);
  switch (run_) {
    case Run::kPlaying:
      return stalled_ ? AudioLibrary::kActiveStalled
                      : AudioLibrary::kActivePlaying;
    case Run::kPaused:
      return AudioLibrary::kActivePaused;
    case Run::kStopped:
      break;
  }
  return AudioLibrary::kActiveStopped;
}

uint64_t Channel::PositionFrames() const {
  std::lock_guard lock(mutex_);
  if (device_rate_ == 0 || device_rate_ == format().sample_rate) {
    return base_frame_ + consumed_frames_;
  }
  return base_frame_ + consumed_frames_ * format().sample_rate / device_rate_;
}

bool Channel::SetPositionFrames(uint64_t frame) {
  if (!format().seekable) return false;
  if (format().length_frames >= 0 &&
      frame > static_cast<uint64_t>(format().length_frames)) {
    return false;
  }
  // An idle decoder seeks at once. One in the middle of a read is left to
  // the decode thread, which seeks before its next chunk and drops what that
  // read brings: the caller never waits for it.
  std::unique_lock decoder_lock(decoder_mutex_, std::try_to_lock);
  if (decoder_lock.owns_lock()) return SeekDecoder(frame);
  {
    std::lock_guard lock(mutex_);
    pending_seek_ = frame;
    ++seek_epoch_;
    ResetBufferLocked(frame);
  }
  space_cv_.notify_all();
  return true;
}

bool Channel::SeekDecoder(uint64_t frame) {
  if (!decoder_->Seek(frame)) return false;
  if (resampler_) resampler_->Reset();
  uint64_t epoch;
  size_t fill_frames = 0;
  {
    std::lock_guard lock(mutex_);
    pending_seek_.reset();
    epoch = ++seek_epoch_;
    ResetBufferLocked(frame);
    // A network read may wait: a stream leaves the refill to its thread.
    if (thread_started_ && !network_) {
      fill_frames = device_rate_ * kFirstSliceMs / 1000;
    }
  }
  FillFirstSlice(epoch, fill_frames);
  space_cv_.notify_all();
  return true;
}

void Channel::FillFirstSlice(uint64_t epoch, size_t fill_frames) {
  if (fill_frames == 0) return;
  // A file decodes in far less than a callback: the first slice goes into
  // the ring here, before the device asks for it; the thread does the rest.
  std::vector<float> chunk(kChunkFrames * 2);
  while (DecodeChunkLocked(&chunk, epoch)) {
    std::lock_guard lock(mutex_);
    if (epoch != seek_epoch_ || decoded_end_ || ring_.size() >= fill_frames) {
      return;
    }
  }
}

void Channel::ResetBufferLocked(uint64_t frame) {
  ring_.Clear();
  heard_levels_.Clear();
  refilling_ = true;
  decoded_end_ = false;
  draining_ = false;
  base_frame_ = frame;
  consumed_frames_ = 0;
}

uint32_t Channel::Level() const {
  std::lock_guard lock(mutex_);
  if (run_ != Run::kPlaying || stalled_) return 0;
  return heard_levels_.At(HeardLevels::Clock::now());
}

void Channel::DecodeLoop() {
  NameThisThread("kivo-decode");
  std::vector<float> chunk(kChunkFrames * 2);
  while (true) {
    std::optional<uint64_t> seek;
    uint64_t epoch;
    {
      std::unique_lock lock(mutex_);
      space_cv_.wait(lock, [this] {
        return quit_ || pending_seek_ ||
               (refilling_ && !decoded_end_ &&
                ring_.free() >= chunk_output_frames_);
      });
      if (quit_) return;
      seek = std::exchange(pending_seek_, std::nullopt);
      epoch = seek_epoch_;
    }
    if (seek) {
      std::lock_guard decoder_lock(decoder_mutex_);
      if (decoder_->Seek(*seek) && resampler_) resampler_->Reset();
    }
    if (!DecodeChunk(&chunk, epoch)) return;
  }
}

// Decodes one chunk into the ring, unless a seek came meanwhile; false when
// the thread should end.
bool Channel::DecodeChunk(std::vector<float>* chunk, uint64_t epoch) {
  std::lock_guard decoder_lock(decoder_mutex_);
  return DecodeChunkLocked(chunk, epoch);
}

bool Channel::DecodeChunkLocked(std::vector<float>* chunk, uint64_t epoch) {
  size_t frames = decoder_->Read(chunk->data(), kChunkFrames);
  const float* data = chunk->data();
  size_t out_frames = frames;
  if (resampler_) {
    const std::vector<float>& converted = resampler_->Convert(data, frames);
    data = converted.data();
    out_frames = converted.size() / 2;
  }
  std::lock_guard lock(mutex_);
  if (quit_) return false;
  if (epoch != seek_epoch_) return true;
  ring_.Push(data, out_frames);
  if (frames == 0) decoded_end_ = true;
  if (ring_.free() < chunk_output_frames_) refilling_ = false;
  return true;
}

Channel::MixOutcome Channel::MixInto(float* out, size_t frames, float gain) {
  MixOutcome outcome;
  bool refill = false;
  {
    std::lock_guard lock(mutex_);
    if (run_ != Run::kPlaying && !draining_) return outcome;
    // A stream back from a stall plays (and shows so) for at least the
    // buffer it comes back in, however little it brought.
    bool resumed = stalled_;
    if (stalled_) {
      bool enough = ring_.size() >= device_rate_ * kResumeMs / 1000 ||
                    ring_.free() < chunk_output_frames_ || decoded_end_;
      if (!enough) return outcome;
      stalled_ = false;
    }
    heard_levels_.BeginBuffer(frames, HeardLevels::Clock::now());
    outcome.mixed_frames = ring_.MixOut(
        out, frames, gain, heard_levels_.slice_frames(),
        [this](float left, float right) {
          heard_levels_.AddSlice(ToLevel(left) | (ToLevel(right) << 16));
        });
    consumed_frames_ += outcome.mixed_frames;
    if (draining_) {
      outcome.finished = ring_.empty();
      draining_ = !outcome.finished;
    } else if (decoded_end_ && ring_.size() < frames && !resumed) {
      outcome.end_reached = true;
      run_ = Run::kStopped;
      draining_ = true;
    } else if (outcome.mixed_frames < frames && network_ && !decoded_end_) {
      stalled_ = true;
    }
    refill = NeedsRefillLocked();
  }
  if (refill) space_cv_.notify_one();
  return outcome;
}

bool Channel::NeedsRefillLocked() {
  if (refilling_ || decoded_end_ || ring_.size() >= low_water_frames_) {
    return false;
  }
  refilling_ = true;
  return true;
}

}  // namespace kivo::engine
