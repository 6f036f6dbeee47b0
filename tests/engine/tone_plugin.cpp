// A tiny decoder plug-in for the tests: files that begin "KIVOTONE", then the
// rate and the frame count (32-bit little-endian), play a mono 440 Hz tone at
// half scale; "KIVOSLOW" files take a second for every read after the first,
// as a file on a hung network mount would. Built twice: as it is, and with a
// wrong ABI version.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

#include "engine/plugin_abi.h"

namespace {

struct Tone {
  uint32_t rate;
  uint64_t frames;
  uint64_t position;
  bool slow;
  int reads;
};

void* Open(const char* path, KivoStreamInfo* info) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return nullptr;
  unsigned char head[16];
  bool ok = std::fread(head, 1, sizeof(head), file) == sizeof(head) &&
            (std::memcmp(head, "KIVOTONE", 8) == 0 ||
             std::memcmp(head, "KIVOSLOW", 8) == 0);
  std::fclose(file);
  if (!ok) return nullptr;
  auto word = [&](int at) {
    return uint32_t{head[at]} | uint32_t{head[at + 1]} << 8 |
           uint32_t{head[at + 2]} << 16 | uint32_t{head[at + 3]} << 24;
  };
  auto* tone = new Tone{word(8), word(12), 0, head[4] == 'S', 0};
  *info = {tone->rate, 1, static_cast<int64_t>(tone->frames),
           KIVO_PLUGIN_CTYPE_BASE + 7};
  return tone;
}

size_t Read(void* stream, float* frames, size_t max_frames) {
  auto* tone = static_cast<Tone*>(stream);
  if (tone->slow && tone->reads++ > 0) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
  }
  size_t count = 0;
  for (; count < max_frames && tone->position < tone->frames; ++count) {
    double t = static_cast<double>(tone->position++) / tone->rate;
    frames[count] = static_cast<float>(0.5 * std::sin(2 * M_PI * 440 * t));
  }
  return count;
}

int Seek(void* stream, uint64_t frame) {
  static_cast<Tone*>(stream)->position = frame;
  return 1;
}

const char* Tag(void*, const char* key) {
  return std::strcmp(key, "title") == 0 ? "Plug-in Tone" : nullptr;
}

void Close(void* stream) { delete static_cast<Tone*>(stream); }

const KivoDecoderOps kDecoder = {"tone", &Open, &Read, &Seek, &Tag, &Close};

}  // namespace

extern "C" {

extern const uint32_t kivo_plugin_abi_version;
const uint32_t kivo_plugin_abi_version = TONE_PLUGIN_ABI;

int kivo_plugin_init(const KivoPluginHost* host) {
  return host->register_decoder(host->context, &kDecoder);
}

}  // extern "C"
