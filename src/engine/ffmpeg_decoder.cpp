#include "engine/ffmpeg_decoder.h"

#include <algorithm>
#include <cstring>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "core/platform/audio_library.h"
#include "engine/channel_types.h"

namespace kivo::engine {

namespace {

constexpr int kIoBufferBytes = 32768;
// FFmpeg allocates what a header claims (a WAV tag of 1.9 GB in a file of
// 100 bytes); no real audio file needs a single block this large, not even
// the index of a day-long MP4 or its cover picture.
constexpr size_t kMaxFfmpegBlockBytes = size_t{64} << 20;
constexpr int64_t kNoPts = AV_NOPTS_VALUE;

bool IsForeignDemuxer(std::string_view name) {
  return name == "libopenmpt" || name == "libgme" || name == "libmodplug";
}

uint32_t ChannelType(std::string_view container, const AVCodecParameters* p) {
  using L = kivo::AudioLibrary;
  if (container == "wav" || container == "w64") {
    return L::kCTypeStreamWav | (p->codec_tag & 0xffff);
  }
  switch (p->codec_id) {
    case AV_CODEC_ID_MP3:
      return L::kCTypeStreamMp3;
    case AV_CODEC_ID_MP2:
      return L::kCTypeStreamMp2;
    case AV_CODEC_ID_MP1:
      return L::kCTypeStreamMp1;
    case AV_CODEC_ID_VORBIS:
      return L::kCTypeStreamOgg;
    case AV_CODEC_ID_FLAC:
      return container == "ogg" ? ctype::kOggFlac : ctype::kFlac;
    case AV_CODEC_ID_AAC:
      return container == "aac" ? ctype::kAac : ctype::kMp4;
    case AV_CODEC_ID_ALAC:
      return ctype::kAlac;
    case AV_CODEC_ID_WMAV1:
    case AV_CODEC_ID_WMAV2:
    case AV_CODEC_ID_WMAPRO:
    case AV_CODEC_ID_WMALOSSLESS:
      return ctype::kWma;
    case AV_CODEC_ID_WAVPACK:
      return ctype::kWavPack;
    case AV_CODEC_ID_APE:
      return ctype::kApe;
    case AV_CODEC_ID_MUSEPACK7:
    case AV_CODEC_ID_MUSEPACK8:
      return ctype::kMusepack;
    case AV_CODEC_ID_SPEEX:
      return ctype::kSpeex;
    case AV_CODEC_ID_TTA:
      return ctype::kTta;
    case AV_CODEC_ID_AC3:
    case AV_CODEC_ID_EAC3:
      return ctype::kAc3;
    case AV_CODEC_ID_OPUS:
      return ctype::kOpus;
    default:
      break;
  }
  if (container == "aiff") return ctype::kAiff;
  if (container == "iff") return ctype::kIff;
  return ctype::kOtherStream;
}

struct TagSource {
  const char* name;
  const char* keys[3];  // FFmpeg keys in order of preference
};

const char* FindTag(AVDictionary* dict, const TagSource& source) {
  for (const char* key : source.keys) {
    if (!key) break;
    AVDictionaryEntry* entry = av_dict_get(dict, key, nullptr, 0);
    if (entry && entry->value && *entry->value) return entry->value;
  }
  return nullptr;
}

// Process-wide in FFmpeg; the engine is its only user.
void LimitFfmpegBlocks() {
  static const bool kLimited = (av_max_alloc(kMaxFfmpegBlockBytes), true);
  (void)kLimited;
}

}  // namespace

std::unique_ptr<FfmpegDecoder> FfmpegDecoder::OpenFile(
    const std::string& path) {
  LimitFfmpegBlocks();
  std::unique_ptr<FfmpegDecoder> decoder(new FfmpegDecoder());
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file,subfile", 0);
  int result = avformat_open_input(&decoder->format_context_, path.c_str(),
                                   nullptr, &options);
  av_dict_free(&options);
  if (result < 0) return nullptr;
  if (!decoder->Probe("")) return nullptr;
  return decoder;
}

std::unique_ptr<FfmpegDecoder> FfmpegDecoder::OpenStream(
    ByteSource* source, const std::string& format_hint) {
  LimitFfmpegBlocks();
  std::unique_ptr<FfmpegDecoder> decoder(new FfmpegDecoder());
  decoder->source_ = source;
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferBytes));
  decoder->io_ =
      avio_alloc_context(buffer, kIoBufferBytes, 0, decoder.get(),
                         &FfmpegDecoder::ReadPacket, nullptr, nullptr);
  if (!decoder->io_) {
    av_free(buffer);
    return nullptr;
  }
  decoder->io_->seekable = 0;
  AVFormatContext* context = avformat_alloc_context();
  context->pb = decoder->io_;
  context->flags |= AVFMT_FLAG_CUSTOM_IO;
  context->interrupt_callback = {&FfmpegDecoder::CheckInterrupt, decoder.get()};
  context->probesize = 65536;
  context->max_analyze_duration = AV_TIME_BASE / 2;
  const AVInputFormat* input =
      format_hint.empty() ? nullptr : av_find_input_format(format_hint.c_str());
  if (avformat_open_input(&context, nullptr, input, nullptr) < 0) {
    return nullptr;  // avformat_open_input freed the context
  }
  decoder->format_context_ = context;
  if (!decoder->Probe(format_hint)) return nullptr;
  decoder->format_.seekable = false;
  decoder->format_.length_frames = -1;
  return decoder;
}

FfmpegDecoder::~FfmpegDecoder() {
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  swr_free(&swr_);
  avcodec_free_context(&codec_);
  avformat_close_input(&format_context_);
  if (io_) {
    av_freep(&io_->buffer);
    avio_context_free(&io_);
  }
}

bool FfmpegDecoder::Probe(const std::string& container_hint) {
  std::string_view container = format_context_->iformat->name;
  if (IsForeignDemuxer(container)) return false;
  if (avformat_find_stream_info(format_context_, nullptr) < 0) return false;
  stream_index_ = av_find_best_stream(format_context_, AVMEDIA_TYPE_AUDIO, -1,
                                      -1, nullptr, 0);
  if (stream_index_ < 0) return false;
  AVStream* stream = format_context_->streams[stream_index_];
  const AVCodecParameters* par = stream->codecpar;
  if (par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0) return false;
  if (!avcodec_find_decoder(par->codec_id)) return false;
  for (unsigned i = 0; i < format_context_->nb_streams; ++i) {
    if (static_cast<int>(i) != stream_index_) {
      format_context_->streams[i]->discard = AVDISCARD_ALL;
    }
  }
  format_.sample_rate = static_cast<uint32_t>(par->sample_rate);
  format_.source_channels = static_cast<uint32_t>(par->ch_layout.nb_channels);
  format_.ctype =
      ChannelType(container_hint.empty() ? container : container_hint, par);
  if (stream->duration != kNoPts && stream->duration > 0) {
    format_.length_frames = av_rescale_q(stream->duration, stream->time_base,
                                         AVRational{1, par->sample_rate});
  } else if (format_context_->duration != kNoPts &&
             format_context_->duration > 0) {
    format_.length_frames =
        av_rescale(format_context_->duration, par->sample_rate, AV_TIME_BASE);
  }
  if (stream->start_time != kNoPts) origin_pts_ = stream->start_time;
  ReadTags();
  return true;
}

void FfmpegDecoder::ReadTags() {
  AVDictionary* dicts[] = {format_context_->metadata,
                           format_context_->streams[stream_index_]->metadata};
  static const TagSource kSources[] = {
      {"title", {"title"}},
      {"artist", {"artist", "author", "album_artist"}},
      {"album", {"album"}},
      {"track", {"track", "tracknumber"}},
      {"genre", {"genre"}},
      {"year", {"date", "year"}},
      {"comment", {"comment", "description"}},
  };
  for (const TagSource& source : kSources) {
    for (AVDictionary* dict : dicts) {
      if (const char* value = FindTag(dict, source)) {
        tags_[source.name] = value;
        break;
      }
    }
  }
}

// A codec that refused the stream once refuses it again; flushing or feeding
// a context that never opened would crash in libavcodec.
bool FfmpegDecoder::OpenCodec() {
  if (codec_state_ == CodecState::kUntried) {
    codec_state_ = TryOpenCodec() ? CodecState::kOpen : CodecState::kFailed;
  }
  return codec_state_ == CodecState::kOpen;
}

bool FfmpegDecoder::TryOpenCodec() {
  const AVCodecParameters* par =
      format_context_->streams[stream_index_]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(par->codec_id);
  codec_ = avcodec_alloc_context3(codec);
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  if (!codec_ || !packet_ || !frame_) return false;
  if (avcodec_parameters_to_context(codec_, par) < 0) return false;
  codec_->pkt_timebase = format_context_->streams[stream_index_]->time_base;
  return avcodec_open2(codec_, codec, nullptr) == 0;
}

size_t FfmpegDecoder::Read(float* stereo, size_t max_frames) {
  if (!OpenCodec()) return 0;
  size_t done = 0;
  while (done < max_frames) {
    size_t available = (pending_.size() - pending_pos_) / 2;
    if (available == 0) {
      pending_.clear();
      pending_pos_ = 0;
      if (!DecodeMore()) break;
      continue;
    }
    size_t take = std::min(available, max_frames - done);
    std::memcpy(stereo + done * 2, pending_.data() + pending_pos_,
                take * 2 * sizeof(float));
    pending_pos_ += take * 2;
    done += take;
  }
  return done;
}

// Decodes until some converted frames are pending; false at the end.
bool FfmpegDecoder::DecodeMore() {
  while (!drained_ && !interrupted_) {
    int result = avcodec_receive_frame(codec_, frame_);
    if (result == 0) {
      Convert(frame_);
      av_frame_unref(frame_);
      if (!pending_.empty()) return true;
    } else if (result == AVERROR(EAGAIN)) {
      if (!FeedPacket()) return false;
    } else {
      drained_ = true;  // the end, or a decoder that cannot go on
    }
  }
  return false;
}

// Sends the next packet of our stream (or the final flush) to the decoder.
bool FfmpegDecoder::FeedPacket() {
  if (input_ended_) return false;
  while (!interrupted_) {
    int result = av_read_frame(format_context_, packet_);
    if (result < 0) {
      input_ended_ = true;
      avcodec_send_packet(codec_, nullptr);
      return true;
    }
    bool ours = packet_->stream_index == stream_index_;
    // A corrupt packet is dropped; the decoder resynchronises on the next.
    if (ours) avcodec_send_packet(codec_, packet_);
    av_packet_unref(packet_);
    if (ours) return true;
  }
  return false;
}

bool FfmpegDecoder::ConfigureResampler(const AVFrame* frame) {
  if (swr_ && frame->sample_rate == swr_in_rate_ &&
      frame->ch_layout.nb_channels == swr_in_channels_ &&
      frame->format == swr_in_format_) {
    return true;
  }
  swr_free(&swr_);
  AVChannelLayout in_layout;
  if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_default(&in_layout, frame->ch_layout.nb_channels);
  } else if (av_channel_layout_copy(&in_layout, &frame->ch_layout) < 0) {
    return false;
  }
  AVChannelLayout out_layout = AV_CHANNEL_LAYOUT_STEREO;
  int result =
      swr_alloc_set_opts2(&swr_, &out_layout, AV_SAMPLE_FMT_FLT,
                          static_cast<int>(format_.sample_rate), &in_layout,
                          static_cast<AVSampleFormat>(frame->format),
                          frame->sample_rate, 0, nullptr);
  // Mono plays at full level on both sides, as the listener expects.
  if (result == 0 && in_layout.nb_channels == 1) {
    av_opt_set_double(swr_, "center_mix_level", 1.0, 0);
  }
  av_channel_layout_uninit(&in_layout);
  if (result < 0 || swr_init(swr_) < 0) {
    swr_free(&swr_);
    return false;
  }
  swr_in_rate_ = frame->sample_rate;
  swr_in_channels_ = frame->ch_layout.nb_channels;
  swr_in_format_ = frame->format;
  return true;
}

int64_t FfmpegDecoder::FramePosition(const AVFrame* frame) const {
  int64_t pts = frame->best_effort_timestamp;
  if (pts == kNoPts || !origin_known_) return next_frame_;
  const AVStream* stream = format_context_->streams[stream_index_];
  return av_rescale_q(pts - origin_pts_, stream->time_base,
                      AVRational{1, static_cast<int>(format_.sample_rate)});
}

void FfmpegDecoder::Convert(const AVFrame* frame) {
  if (frame->nb_samples <= 0 || !ConfigureResampler(frame)) return;
  if (!origin_known_ && discard_before_ < 0) {
    // The first frame decoded from the start fixes the timeline.
    if (frame->best_effort_timestamp != kNoPts) {
      origin_pts_ = frame->best_effort_timestamp;
    }
    origin_known_ = true;
  } else if (discard_before_ >= 0) {
    next_frame_ = FramePosition(frame);
  }
  int capacity = swr_get_out_samples(swr_, frame->nb_samples);
  if (capacity <= 0) return;
  pending_.resize(static_cast<size_t>(capacity) * 2);
  auto* out = reinterpret_cast<uint8_t*>(pending_.data());
  int produced = swr_convert(swr_, &out, capacity,
                             const_cast<const uint8_t**>(frame->extended_data),
                             frame->nb_samples);
  if (produced <= 0) {
    pending_.clear();
    return;
  }
  pending_.resize(static_cast<size_t>(produced) * 2);
  int64_t first = next_frame_;
  next_frame_ += produced;
  if (discard_before_ < 0) return;
  if (next_frame_ <= discard_before_) {
    pending_.clear();
    return;
  }
  int64_t skip = std::max<int64_t>(0, discard_before_ - first);
  pending_pos_ = static_cast<size_t>(skip) * 2;
  discard_before_ = -1;
}

bool FfmpegDecoder::Seek(uint64_t frame) {
  if (!format_.seekable || !OpenCodec()) return false;
  const AVStream* stream = format_context_->streams[stream_index_];
  int64_t target = static_cast<int64_t>(frame);
  int64_t timestamp =
      origin_pts_ +
      av_rescale_q(target, AVRational{1, static_cast<int>(format_.sample_rate)},
                   stream->time_base);
  if (av_seek_frame(format_context_, stream_index_, timestamp,
                    AVSEEK_FLAG_BACKWARD) < 0) {
    return false;
  }
  avcodec_flush_buffers(codec_);
  swr_free(&swr_);
  pending_.clear();
  pending_pos_ = 0;
  input_ended_ = false;
  drained_ = false;
  next_frame_ = target;
  discard_before_ = target;
  origin_known_ = true;
  return true;
}

int FfmpegDecoder::ReadPacket(void* opaque, uint8_t* buffer, int size) {
  auto* self = static_cast<FfmpegDecoder*>(opaque);
  if (self->interrupted_) return AVERROR_EXIT;
  int read = self->source_->Read(buffer, size);
  return read > 0 ? read : AVERROR_EOF;
}

int FfmpegDecoder::CheckInterrupt(void* opaque) {
  return static_cast<FfmpegDecoder*>(opaque)->interrupted_ ? 1 : 0;
}

}  // namespace kivo::engine
