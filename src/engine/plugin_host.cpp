#include "engine/plugin_host.h"

#include <dlfcn.h>

#include <algorithm>

namespace kivo::engine {

namespace {

constexpr uint32_t kMinRate = 8000;
constexpr uint32_t kMaxRate = 192000;

// One stream opened by a plug-in decoder, turned into float stereo.
class PluginDecoder final : public Decoder {
 public:
  PluginDecoder(std::shared_ptr<void> dl, const KivoDecoderOps* ops,
                void* stream, const KivoStreamInfo& info)
      : dl_(std::move(dl)), ops_(ops), stream_(stream), info_(info) {
    format_.sample_rate = info.sample_rate;
    format_.source_channels = info.channels;
    format_.ctype = info.ctype;
    format_.length_frames = info.length_frames < 0 ? -1 : info.length_frames;
    format_.seekable = ops->seek != nullptr;
    if (!ops->tag) return;
    for (const char* key :
         {"title", "artist", "album", "track", "genre", "year", "comment"}) {
      const char* value = ops->tag(stream, key);
      if (value && *value) tags_[key] = value;
    }
  }
  ~PluginDecoder() override { ops_->close(stream_); }
  PluginDecoder(const PluginDecoder&) = delete;
  PluginDecoder& operator=(const PluginDecoder&) = delete;

  const StreamFormat& format() const override { return format_; }
  const TagMap& tags() const override { return tags_; }

  size_t Read(float* stereo, size_t max_frames) override {
    if (info_.channels == 2) {
      return std::min(max_frames, ops_->read(stream_, stereo, max_frames));
    }
    mono_.resize(max_frames);
    size_t frames =
        std::min(max_frames, ops_->read(stream_, mono_.data(), max_frames));
    for (size_t i = 0; i < frames; ++i) {
      stereo[i * 2] = stereo[i * 2 + 1] = mono_[i];
    }
    return frames;
  }

  bool Seek(uint64_t frame) override {
    return ops_->seek && ops_->seek(stream_, frame) != 0;
  }

 private:
  std::shared_ptr<void> dl_;  // keeps the code of ops_ loaded
  const KivoDecoderOps* ops_;
  void* stream_;
  KivoStreamInfo info_;
  StreamFormat format_;
  TagMap tags_;
  std::vector<float> mono_;
};

int RegisterDecoder(void* context, const KivoDecoderOps* ops) {
  if (!ops || !ops->open || !ops->read || !ops->close) return -1;
  static_cast<std::vector<const KivoDecoderOps*>*>(context)->push_back(ops);
  return 0;
}

}  // namespace

uint32_t PluginHost::Load(const std::string& path) {
  void* raw = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!raw) return 0;
  std::shared_ptr<void> dl(raw, [](void* h) { dlclose(h); });
  auto* version =
      static_cast<const uint32_t*>(dlsym(raw, "kivo_plugin_abi_version"));
  if (!version || *version != KIVO_PLUGIN_ABI_VERSION) return 0;
  auto init =
      reinterpret_cast<KivoPluginInitFn>(dlsym(raw, "kivo_plugin_init"));
  if (!init) return 0;
  Library library;
  KivoPluginHost host{KIVO_PLUGIN_ABI_VERSION, &library.decoders,
                      &RegisterDecoder};
  if (init(&host) != 0 || library.decoders.empty()) return 0;
  library.dl = std::move(dl);
  std::lock_guard lock(mutex_);
  library.handle = next_handle_++;
  libraries_.push_back(std::move(library));
  return libraries_.back().handle;
}

bool PluginHost::Free(uint32_t plugin) {
  std::lock_guard lock(mutex_);
  if (plugin == 0) {
    libraries_.clear();
    return true;
  }
  return std::erase_if(libraries_, [plugin](const Library& library) {
           return library.handle == plugin;
         }) > 0;
}

std::unique_ptr<Decoder> PluginHost::Open(const std::string& path) const {
  std::vector<Library> libraries;
  {
    std::lock_guard lock(mutex_);
    libraries = libraries_;
  }
  for (const Library& library : libraries) {
    for (const KivoDecoderOps* ops : library.decoders) {
      KivoStreamInfo info{0, 0, -1, 0};
      void* stream = ops->open(path.c_str(), &info);
      if (!stream) continue;
      bool valid = info.sample_rate >= kMinRate &&
                   info.sample_rate <= kMaxRate &&
                   (info.channels == 1 || info.channels == 2);
      if (valid) {
        return std::make_unique<PluginDecoder>(library.dl, ops, stream, info);
      }
      ops->close(stream);
    }
  }
  return nullptr;
}

}  // namespace kivo::engine
