/* The decoder plug-in interface of Kivo Player's audio engine.
 *
 * A plug-in is a shared object (.so) that exports two symbols:
 *
 *   const uint32_t kivo_plugin_abi_version = KIVO_PLUGIN_ABI_VERSION;
 *   int kivo_plugin_init(const KivoPluginHost* host);
 *
 * The engine reads kivo_plugin_abi_version first and refuses the file unless
 * it equals the engine's KIVO_PLUGIN_ABI_VERSION; only then it calls
 * kivo_plugin_init, which registers one or more decoders through the host and
 * returns 0 (anything else refuses the plug-in). Registered decoders are tried,
 * in plug-in load order, after the engine's built-in ones whenever a file is
 * opened as a stream.
 *
 * Threads: open may be called from any thread, several times at once; the
 * other operations of one stream are never called concurrently. No operation
 * may block for long or throw. The library stays loaded while a stream it
 * opened is alive, even after the plug-in was freed.
 */
#ifndef KIVO_ENGINE_PLUGIN_ABI_H_
#define KIVO_ENGINE_PLUGIN_ABI_H_

#include <stddef.h>
#include <stdint.h>

#define KIVO_PLUGIN_ABI_VERSION 1u

/* Channel types for plug-in formats start here (ChannelGetInfo). */
#define KIVO_PLUGIN_CTYPE_BASE 0x18000u

#ifdef __cplusplus
extern "C" {
#endif

/* What open tells the engine about a stream it took. */
typedef struct KivoStreamInfo {
  uint32_t sample_rate;  /* frames per second, 8000..192000 */
  uint32_t channels;     /* 1 or 2 */
  int64_t length_frames; /* -1 when unknown */
  uint32_t ctype;        /* KIVO_PLUGIN_CTYPE_BASE or above */
} KivoStreamInfo;

typedef struct KivoDecoderOps {
  const char* name;
  /* Opens path; NULL when this decoder does not take the file. */
  void* (*open)(const char* path, KivoStreamInfo* info);
  /* Writes up to max_frames interleaved float frames (info.channels samples
   * each, -1..1); returns the frames written, 0 at the end. */
  size_t (*read)(void* stream, float* frames, size_t max_frames);
  /* Continues from frame; non-zero on success. May be NULL (not seekable). */
  int (*seek)(void* stream, uint64_t frame);
  /* The tag "title", "artist", "album", "track", "genre", "year" or
   * "comment", or NULL. The text stays valid until close. May be NULL. */
  const char* (*tag)(void* stream, const char* key);
  void (*close)(void* stream);
} KivoDecoderOps;

typedef struct KivoPluginHost {
  uint32_t abi_version;
  void* context;
  /* Registers a decoder; ops must stay valid while the library is loaded.
   * Returns 0 on success. */
  int (*register_decoder)(void* context, const KivoDecoderOps* ops);
} KivoPluginHost;

typedef int (*KivoPluginInitFn)(const KivoPluginHost* host);

#ifdef __cplusplus
}
#endif

#endif /* KIVO_ENGINE_PLUGIN_ABI_H_ */
