#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/platform/audio_library.h"

namespace kivo::testing {

// A scripted audio library: the test says which locations open as streams,
// files or modules, with what length and tags; channels then behave like
// real ones (states, positions, syncs) without sound. Syncs fire only when the
// test calls FireEnd / FireMeta. Thread-safe like the real one.
class FakeAudioLibrary : public AudioLibrary {
 public:
  struct Media {
    enum Kind { kFile, kModule, kUrl } kind = kFile;
    double length_seconds = 180;  // -1: unknown (streams)
    uint32_t ctype = kCTypeStreamMp3;
    std::map<std::string, std::string> tags;  // "%TITL" -> text
    std::string meta;                         // ChannelGetTags(5)
  };
  // A network stream of unknown length.
  static Media StreamMedia() {
    Media media;
    media.kind = Media::kUrl;
    media.length_seconds = -1;
    return media;
  }
  struct Channel {
    std::string location;
    Media media;
    int state = kActiveStopped;
    uint64_t position_bytes = 0;
    bool decode_only = false;
    DownloadProc download;
    std::map<Handle, std::pair<uint32_t, SyncProc>> syncs;
  };

  // 44100 Hz, 16-bit stereo: 176400 bytes a second.
  static constexpr double kBytesPerSecond = 176400;

  void AddMedia(const std::string& location, Media media);
  void AddDevice(const std::string& name);

  // Test controls.
  void FireEnd(Handle channel);
  void FireMeta(Handle channel, const std::string& meta);
  void Download(Handle channel, const std::string& block);  // "" ends it
  void SetState(Handle channel, int state);
  void SetLevel(uint32_t level) { level_ = level; }
  bool Exists(Handle channel) const;
  Channel ChannelCopy(Handle channel) const;
  std::vector<Handle> OpenChannels() const;
  int open_count() const;
  int init_device() const { return init_device_; }
  std::vector<std::pair<int, std::string>> config_log() const;
  bool fail_init = false;
  // ChannelPlay fails, as when the output device will not open.
  bool fail_play = false;
  uint32_t version = 0x02040000;

  uint32_t GetVersion() override { return version; }
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

  std::vector<std::string> plugins_loaded;
  std::vector<Handle> plugins_freed;

 private:
  Handle Open(const std::string& location, Media::Kind kind, bool decode,
              DownloadProc download);
  void FireSyncs(Handle channel, uint32_t type, uint32_t data);

  mutable std::mutex mutex_;
  std::map<std::string, Media> media_;
  std::map<Handle, Channel> channels_;
  std::vector<std::string> devices_{"Default"};
  std::vector<std::pair<int, std::string>> config_log_;
  Handle next_handle_ = 100;
  Handle next_sync_ = 1000;
  Handle next_plugin_ = 5000;
  int init_device_ = 0;
  uint32_t level_ = 0;
};

}  // namespace kivo::testing
