// The game-music plug-in: every format libgme plays, as a decoder of the
// engine's plug-in ABI.
#include <gme/gme.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/plugin_abi.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kCType = KIVO_PLUGIN_CTYPE_BASE + 0x100;

struct GmeStream {
  Music_Emu* emu = nullptr;
  int64_t length_frames = 0;
  int64_t position_frames = 0;
  std::string title, artist, album, comment, genre;
  std::vector<short> pcm;
};

void ReadInfo(GmeStream* stream) {
  gme_info_t* info = nullptr;
  int length_ms = 150000;
  if (!gme_track_info(stream->emu, &info, 0) && info) {
    length_ms = info->play_length > 0 ? info->play_length : length_ms;
    stream->title = info->song ? info->song : "";
    stream->artist = info->author ? info->author : "";
    stream->album = info->game ? info->game : "";
    stream->comment = info->comment ? info->comment : "";
    stream->genre = info->system ? info->system : "";
    gme_free_info(info);
  }
  stream->length_frames = int64_t{length_ms} * kRate / 1000;
  // Looping tunes fade out over the last seconds instead of stopping dead.
  gme_set_fade(stream->emu, std::max(0, length_ms - 4000));
}

void* Open(const char* path, KivoStreamInfo* info) {
  gme_type_t type = nullptr;
  if (gme_identify_file(path, &type) || !type) return nullptr;
  auto* stream = new GmeStream();
  if (gme_open_file(path, &stream->emu, kRate) ||
      gme_start_track(stream->emu, 0)) {
    gme_delete(stream->emu);
    delete stream;
    return nullptr;
  }
  ReadInfo(stream);
  info->sample_rate = kRate;
  info->channels = 2;
  info->length_frames = stream->length_frames;
  info->ctype = kCType;
  return stream;
}

size_t Read(void* opaque, float* frames, size_t max_frames) {
  auto* stream = static_cast<GmeStream*>(opaque);
  int64_t left = stream->length_frames - stream->position_frames;
  size_t count = static_cast<size_t>(std::max<int64_t>(
      0, std::min<int64_t>(left, static_cast<int64_t>(max_frames))));
  if (count == 0 || gme_track_ended(stream->emu)) return 0;
  stream->pcm.resize(count * 2);
  if (gme_play(stream->emu, static_cast<int>(count * 2), stream->pcm.data())) {
    return 0;
  }
  for (size_t i = 0; i < count * 2; ++i) frames[i] = stream->pcm[i] / 32768.0f;
  stream->position_frames += static_cast<int64_t>(count);
  return count;
}

int Seek(void* opaque, uint64_t frame) {
  auto* stream = static_cast<GmeStream*>(opaque);
  int ms = static_cast<int>(frame * 1000 / kRate);
  if (gme_seek(stream->emu, ms)) return 0;
  stream->position_frames = int64_t{ms} * kRate / 1000;
  return 1;
}

const char* Tag(void* opaque, const char* key) {
  auto* stream = static_cast<GmeStream*>(opaque);
  const std::string* value = nullptr;
  if (!std::strcmp(key, "title")) value = &stream->title;
  if (!std::strcmp(key, "artist")) value = &stream->artist;
  if (!std::strcmp(key, "album")) value = &stream->album;
  if (!std::strcmp(key, "comment")) value = &stream->comment;
  if (!std::strcmp(key, "genre")) value = &stream->genre;
  return value && !value->empty() ? value->c_str() : nullptr;
}

void Close(void* opaque) {
  auto* stream = static_cast<GmeStream*>(opaque);
  gme_delete(stream->emu);
  delete stream;
}

const KivoDecoderOps kDecoder = {"gme", &Open, &Read, &Seek, &Tag, &Close};

}  // namespace

extern "C" {

__attribute__((
    visibility("default"))) extern const uint32_t kivo_plugin_abi_version;
const uint32_t kivo_plugin_abi_version = KIVO_PLUGIN_ABI_VERSION;

__attribute__((visibility("default"))) int kivo_plugin_init(
    const KivoPluginHost* host) {
  return host->register_decoder(host->context, &kDecoder);
}

}  // extern "C"
