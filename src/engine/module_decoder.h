#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/decoder.h"

struct openmpt_module;

namespace kivo::engine {

// Tracker modules (it, xm, s3m, mtm, mod, umx, mo3 and whatever else
// libopenmpt reads) rendered at a fixed rate.
class ModuleDecoder final : public Decoder {
 public:
  // nullptr when libopenmpt does not take the file. `ramping` asks for soft
  // volume ramps (no clicks on note starts and stops).
  static std::unique_ptr<ModuleDecoder> Open(const std::string& path,
                                             uint64_t offset, uint64_t length,
                                             uint32_t sample_rate,
                                             bool ramping);
  ~ModuleDecoder() override;
  ModuleDecoder(const ModuleDecoder&) = delete;
  ModuleDecoder& operator=(const ModuleDecoder&) = delete;

  const StreamFormat& format() const override { return format_; }
  const TagMap& tags() const override { return tags_; }
  size_t Read(float* stereo, size_t max_frames) override;
  bool Seek(uint64_t frame) override;

 private:
  explicit ModuleDecoder(openmpt_module* module) : module_(module) {}
  std::string MetadataText(const char* key) const;
  void Describe(uint32_t sample_rate);

  openmpt_module* module_;
  StreamFormat format_;
  TagMap tags_;
};

}  // namespace kivo::engine
