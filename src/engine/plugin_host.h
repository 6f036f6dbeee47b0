#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/decoder.h"
#include "engine/plugin_abi.h"

namespace kivo::engine {

// The loaded decoder plug-ins (dlopen, ABI version checked before anything in
// the library runs). Thread-safe.
class PluginHost {
 public:
  // 0 when the file is no plug-in of this engine's ABI.
  uint32_t Load(const std::string& path);
  // 0 frees every plug-in. Streams already open keep their library loaded.
  bool Free(uint32_t plugin);
  // The first registered decoder that takes the file, in load order.
  std::unique_ptr<Decoder> Open(const std::string& path) const;

 private:
  struct Library {
    uint32_t handle = 0;
    std::shared_ptr<void> dl;
    std::vector<const KivoDecoderOps*> decoders;
  };

  mutable std::mutex mutex_;  // guards libraries_ and next_handle_
  std::vector<Library> libraries_;
  uint32_t next_handle_ = 1;
};

}  // namespace kivo::engine
