#include "engine/module_decoder.h"

#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <fstream>
#include <vector>

#include "core/platform/audio_library.h"
#include "engine/channel_types.h"

namespace kivo::engine {

namespace {

// Larger files are no modules anyone made; refusing them keeps a stray video
// from being read into memory.
constexpr uint64_t kMaxModuleBytes = uint64_t{64} << 20;

bool ReadRegion(const std::string& path, uint64_t offset, uint64_t length,
                std::vector<char>* data) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  auto end = static_cast<uint64_t>(in.tellg());
  if (offset >= end) return false;
  uint64_t size = end - offset;
  if (length != 0 && length < size) size = length;
  if (size > kMaxModuleBytes) return false;
  data->resize(size);
  in.seekg(static_cast<std::streamoff>(offset));
  return static_cast<bool>(
      in.read(data->data(), static_cast<std::streamsize>(size)));
}

uint32_t ModuleType(const std::string& type, const std::string& container) {
  using L = kivo::AudioLibrary;
  uint32_t base = ctype::kOtherModule;
  if (type == "mod") base = L::kCTypeMusicMod;
  if (type == "mtm") base = L::kCTypeMusicMtm;
  if (type == "s3m") base = L::kCTypeMusicS3m;
  if (type == "xm") base = L::kCTypeMusicXm;
  if (type == "it") base = L::kCTypeMusicIt;
  return container == "mo3" ? (base | L::kCTypeMusicMo3) : base;
}

}  // namespace

std::unique_ptr<ModuleDecoder> ModuleDecoder::Open(const std::string& path,
                                                   uint64_t offset,
                                                   uint64_t length,
                                                   uint32_t sample_rate,
                                                   bool ramping) {
  std::vector<char> data;
  if (!ReadRegion(path, offset, length, &data)) return nullptr;
  int error = 0;
  openmpt_module* module = openmpt_module_create_from_memory2(
      data.data(), data.size(), &openmpt_log_func_silent, nullptr,
      &openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
  if (!module) return nullptr;
  std::unique_ptr<ModuleDecoder> decoder(new ModuleDecoder(module));
  openmpt_module_set_repeat_count(module, 0);
  openmpt_module_set_render_param(
      module, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH, ramping ? -1 : 0);
  decoder->Describe(sample_rate);
  return decoder;
}

ModuleDecoder::~ModuleDecoder() { openmpt_module_destroy(module_); }

std::string ModuleDecoder::MetadataText(const char* key) const {
  const char* value = openmpt_module_get_metadata(module_, key);
  if (!value) return {};
  std::string text = value;
  openmpt_free_string(value);
  return text;
}

void ModuleDecoder::Describe(uint32_t sample_rate) {
  format_.sample_rate = sample_rate;
  format_.source_channels = 2;
  format_.is_module = true;
  format_.ctype = ModuleType(MetadataText("type"), MetadataText("container"));
  double seconds = openmpt_module_get_duration_seconds(module_);
  format_.length_frames =
      static_cast<int64_t>(std::llround(seconds * sample_rate));
  for (const auto& [tag, key] : {std::pair{"title", "title"},
                                 {"artist", "artist"},
                                 {"comment", "message_raw"},
                                 {"year", "date"}}) {
    std::string value = MetadataText(key);
    if (!value.empty()) tags_[tag] = value;
  }
}

size_t ModuleDecoder::Read(float* stereo, size_t max_frames) {
  return openmpt_module_read_interleaved_float_stereo(
      module_, static_cast<int32_t>(format_.sample_rate), max_frames, stereo);
}

bool ModuleDecoder::Seek(uint64_t frame) {
  openmpt_module_set_position_seconds(
      module_, static_cast<double>(frame) / format_.sample_rate);
  return true;
}

}  // namespace kivo::engine
