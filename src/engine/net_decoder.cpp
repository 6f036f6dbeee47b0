#include "engine/net_decoder.h"

namespace kivo::engine {

std::unique_ptr<NetDecoder> NetDecoder::Open(const std::string& url,
                                             const NetOptions& options,
                                             NetSource::DownloadProc download,
                                             NetSource::MetaProc on_meta) {
  std::unique_ptr<NetDecoder> net(new NetDecoder());
  net->source_ = std::make_unique<NetSource>(url, options, std::move(download),
                                             std::move(on_meta));
  if (!net->source_->Connect()) return nullptr;
  net->decoder_ =
      FfmpegDecoder::OpenStream(net->source_.get(), net->source_->FormatHint());
  if (!net->decoder_) return nullptr;
  net->source_->EndOpening();
  return net;
}

size_t NetDecoder::Read(float* stereo, size_t max_frames) {
  return decoder_->Read(stereo, max_frames);
}

void NetDecoder::Interrupt() {
  source_->Cancel();
  decoder_->Interrupt();
}

void NetDecoder::WaitStopped() { source_->WaitStopped(); }

std::optional<std::string> NetDecoder::Metadata() const {
  return source_->metadata();
}

}  // namespace kivo::engine
