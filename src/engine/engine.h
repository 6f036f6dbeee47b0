#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/platform/audio_library.h"

namespace kivo::engine {

// The player's audio library: FFmpeg for files and network streams (libcurl
// downloads them), libopenmpt for tracker modules, decoder plug-ins
// (plugin_abi.h) after those, and SDL2 for the output.
//
// Bytes. Positions and lengths count the decoded PCM of a channel as 16-bit
// signed stereo at the channel's own sample rate: 4 bytes per frame, whatever
// the source holds (mono is heard on both sides). ChannelBytes2Seconds and
// ChannelSeconds2Bytes convert with exactly that layout; the mixer itself
// works in float.
//
// Channel types (ChannelGetInfo): the AudioLibrary constants, a WAV file as
// kCTypeStreamWav | its format tag (1 for PCM), a MO3 module as its module
// type | kCTypeMusicMO3, and the values of channel_types.h for other formats
// (FLAC 0x10900, AAC 0x10b00, MP4 0x10b01, WMA 0x10300, ...); plug-ins report
// 0x18000 and above.
//
// Threads. Every method may be called from any thread at the same time (the
// player uses the GUI thread and its opening worker), except that the
// destructor must not run while another call is in progress. Calls never
// block on playback or on the network, with two exceptions: StreamCreateUrl
// connects and probes the stream (up to about the network time-out), and
// StreamCreateFile and MusicLoad read the file's headers (MusicLoad reads the
// whole module); the first play and a seek of a file decode its first 150 ms.
// Resuming a stalled stream returns at once, and freeing a channel (StreamFree,
// MusicFree, Free) hands its threads to the kivo-reap thread instead of waiting
// for them; the destructor waits for them all.
//
// The output device. Init checks that the device exists and fixes the mixing
// rate (SDL converts to whatever the device takes); the device itself opens
// when a channel starts to play while it is closed, so that its first buffer
// holds that channel, and closes on the kivo-reap thread once nothing has
// played, stalled or drained for kConfigDeviceIdleMs (a paused channel waits
// without it; its resume opens it again). A play that cannot
// open it fails (ChannelPlay returns false, the channel stays stopped) and the
// next play tries again. A play during a close does not wait for it: the
// device reopens as soon as the close is done. Free while the device is
// closed has no device to close; while it is open, Free waits for SDL's
// audio thread to end (at most a few device buffers). A device switch is a
// Free and an Init, so the new device too opens with the next play.
//
// Network streams recover: once open, a stream whose connection drops or
// stays silent for the network time-out reconnects on its own, stalled
// meanwhile, and ends only on a refusal (HTTP 4xx), at the end of a stream of
// known length, or when kConfigNetReconnectMs have passed (net_source.h).
//
// The end sync fires while a channel's last device buffer is made ready; the
// channel counts as stopped from then, its last frames still play (also when
// it is freed), and a channel played from the sync starts right after them.
//
// Callbacks. Syncs run on the engine's kivo-sync thread; the download
// callback of a network stream runs on that stream's kivo-net thread. Neither
// ever runs on SDL's audio thread, and none is called while the engine holds a
// lock: a callback may call any method except the destructor, including
// freeing its own channel. A callback should return quickly; a slow sync
// delays later syncs, a slow download callback slows the download.
//
// Threads the engine starts: kivo-sync and kivo-reap (for the engine's life),
// one kivo-decode per channel that has been played, one kivo-net per network
// stream, and SDL's audio thread while the device is open. SDL's signal
// handlers stay off: signals belong to the program.
class Engine final : public AudioLibrary {
 public:
  // The engine's own options beyond the AudioLibrary's, for SetConfig: how
  // long, in ms, a playing network stream that lost its station keeps
  // reconnecting before it ends (5 minutes by default; 0 ends it at once).
  static constexpr int kConfigNetReconnectMs = 0x10000;
  // How long, in ms, the output device stays open with nothing to play before
  // it closes (10 s by default); the next play opens it again.
  static constexpr int kConfigDeviceIdleMs = 0x10001;

  Engine();
  ~Engine() override;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  uint32_t GetVersion() override;
  bool Init(int device, uint32_t freq, uint32_t flags) override;
  bool Free() override;
  bool GetDeviceInfo(int device, DeviceInfo* info) override;
  bool SetConfig(int option, uint32_t value) override;
  bool SetConfigPtr(int option,
                    const std::optional<std::string>& text) override;

  Handle PluginLoad(const std::string& path, uint32_t flags) override;
  bool PluginFree(Handle plugin) override;

  Handle StreamCreateUrl(const std::string& url, uint64_t offset,
                         uint32_t flags, DownloadProc download) override;
  Handle StreamCreateFile(const std::string& path, uint64_t offset,
                          uint64_t length, uint32_t flags) override;
  Handle MusicLoad(const std::string& path, uint64_t offset, uint64_t length,
                   uint32_t flags, uint32_t freq) override;
  bool StreamFree(Handle stream) override;
  bool MusicFree(Handle music) override;

  bool ChannelPlay(Handle channel, bool restart) override;
  bool ChannelPause(Handle channel) override;
  bool ChannelStop(Handle channel) override;
  int ChannelIsActive(Handle channel) override;
  uint64_t ChannelGetLength(Handle channel, uint32_t mode) override;
  uint64_t ChannelGetPosition(Handle channel, uint32_t mode) override;
  double ChannelBytes2Seconds(Handle channel, uint64_t bytes) override;
  uint64_t ChannelSeconds2Bytes(Handle channel, double seconds) override;
  bool ChannelSetPosition(Handle channel, uint64_t bytes,
                          uint32_t mode) override;
  uint32_t ChannelGetLevel(Handle channel) override;
  std::optional<std::string> ChannelGetTags(Handle channel,
                                            uint32_t tags) override;
  bool ChannelGetInfo(Handle channel, ChannelInfo* info) override;
  Handle ChannelSetSync(Handle channel, uint32_t type, uint64_t param,
                        SyncProc proc) override;
  bool ChannelRemoveSync(Handle channel, Handle sync) override;

  std::string TagsRead(Handle channel, const std::string& format) override;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kivo::engine
