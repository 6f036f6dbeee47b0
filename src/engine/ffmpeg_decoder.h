#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/decoder.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;
struct SwrContext;

namespace kivo::engine {

// Bytes of a stream that has no file behind it (a network download). Read
// blocks until data arrives; it returns the byte count, 0 at the end.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual int Read(uint8_t* buffer, int size) = 0;
};

// Files and byte streams through libavformat, libavcodec and libswresample.
// The codec is opened on the first Read or Seek, so that tag and length probes
// never start a decoder.
class FfmpegDecoder final : public Decoder {
 public:
  // nullptr when FFmpeg cannot open `path` (an FFmpeg file: or subfile:
  // address) as audio, or hands it to a tracker or game-music demuxer (those
  // belong to MusicLoad and the plug-ins).
  static std::unique_ptr<FfmpegDecoder> OpenFile(const std::string& path);
  // `format_hint` is an FFmpeg demuxer name, or empty to probe.
  static std::unique_ptr<FfmpegDecoder> OpenStream(
      ByteSource* source, const std::string& format_hint);

  ~FfmpegDecoder() override;
  FfmpegDecoder(const FfmpegDecoder&) = delete;
  FfmpegDecoder& operator=(const FfmpegDecoder&) = delete;

  const StreamFormat& format() const override { return format_; }
  const TagMap& tags() const override { return tags_; }
  size_t Read(float* stereo, size_t max_frames) override;
  bool Seek(uint64_t frame) override;
  void Interrupt() override { interrupted_ = true; }

 private:
  FfmpegDecoder() = default;
  bool Probe(const std::string& container_hint);
  bool OpenCodec();
  bool TryOpenCodec();
  bool DecodeMore();
  bool FeedPacket();
  void Convert(const AVFrame* frame);
  bool ConfigureResampler(const AVFrame* frame);
  int64_t FramePosition(const AVFrame* frame) const;
  void ReadTags();

  static int ReadPacket(void* opaque, uint8_t* buffer, int size);
  static int CheckInterrupt(void* opaque);

  AVFormatContext* format_context_ = nullptr;
  AVIOContext* io_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwrContext* swr_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  ByteSource* source_ = nullptr;
  int stream_index_ = -1;
  int swr_in_rate_ = 0;
  int swr_in_channels_ = 0;
  int swr_in_format_ = -1;
  enum class CodecState { kUntried, kOpen, kFailed };
  CodecState codec_state_ = CodecState::kUntried;
  bool input_ended_ = false;
  bool drained_ = false;
  std::atomic<bool> interrupted_{false};

  // Timeline of the output: the stream timestamp of output frame 0, and the
  // output frame of the next converted sample.
  int64_t origin_pts_ = 0;
  bool origin_known_ = false;
  int64_t next_frame_ = 0;
  int64_t discard_before_ = -1;  // after a seek, frames before this go

  std::vector<float> pending_;  // converted, not yet returned
  size_t pending_pos_ = 0;

  StreamFormat format_;
  TagMap tags_;
};

}  // namespace kivo::engine
