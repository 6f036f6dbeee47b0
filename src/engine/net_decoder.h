#pragma once

#include <memory>
#include <string>

#include "engine/decoder.h"
#include "engine/ffmpeg_decoder.h"
#include "engine/net_source.h"

namespace kivo::engine {

// A network stream: the download and the FFmpeg decoder reading from it.
class NetDecoder final : public Decoder {
 public:
  // Connects and probes the format, bounded by the time-out; nullptr when the
  // address gives no decodable audio.
  static std::unique_ptr<NetDecoder> Open(const std::string& url,
                                          const NetOptions& options,
                                          NetSource::DownloadProc download,
                                          NetSource::MetaProc on_meta);

  const StreamFormat& format() const override { return decoder_->format(); }
  const TagMap& tags() const override { return decoder_->tags(); }
  size_t Read(float* stereo, size_t max_frames) override;
  bool Seek(uint64_t) override { return false; }
  void Interrupt() override;
  void WaitStopped() override;
  std::optional<std::string> Metadata() const override;

 private:
  NetDecoder() = default;

  // Declared first so that it outlives the decoder that reads from it.
  std::unique_ptr<NetSource> source_;
  std::unique_ptr<FfmpegDecoder> decoder_;
};

}  // namespace kivo::engine
