#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kivo {

// The audio library: decoding, output, network streams and tags. One method per
// operation the player uses, with the numbers and meanings the player relies
// on.
//
// Handles are 32-bit; 0 means failure. Streams and modules share one handle
// space. Positions and lengths are bytes of decoded PCM; kLengthError (all bits
// set) is returned for an unknown or freed handle.
//
// Threads: every method may be called from the GUI thread and from the opening
// worker at the same time. Sync and download callbacks run on the library's own
// threads (never on the audio output callback) and must not block for long;
// they may call back into the library. The player only posts work from them.
class AudioLibrary {
 public:
  using Handle = uint32_t;

  static constexpr uint64_t kLengthError = ~uint64_t{0};
  static constexpr uint32_t kLevelError = ~uint32_t{0};

  // ChannelIsActive results.
  static constexpr int kActiveStopped = 0;
  static constexpr int kActivePlaying = 1;
  static constexpr int kActiveStalled = 2;
  static constexpr int kActivePaused = 3;

  // SetConfig / SetConfigPtr options.
  static constexpr int kConfigGlobalStreamVolume = 5;  // 0..10000
  static constexpr int kConfigGlobalMusicVolume = 6;   // 0..10000
  static constexpr int kConfigNetTimeout = 11;         // milliseconds
  static constexpr int kConfigNetAgent = 16;           // text
  static constexpr int kConfigNetProxy = 17;           // text or none
  static constexpr int kConfigNetPassive = 18;         // 1 or 0

  // Stream and module flags.
  static constexpr uint32_t kStreamBlock = 0x100000;
  static constexpr uint32_t kStreamDecode = 0x200000;
  static constexpr uint32_t kMusicRamp = 0x200;
  static constexpr uint32_t kMusicPrescan = 0x20000;

  // Sync types and the tag type of in-stream metadata.
  static constexpr uint32_t kSyncEnd = 2;
  static constexpr uint32_t kSyncMeta = 4;
  static constexpr uint32_t kTagMeta = 5;

  // Channel types reported by ChannelGetInfo.
  static constexpr uint32_t kCTypeStreamOgg = 0x10002;
  static constexpr uint32_t kCTypeStreamMp1 = 0x10003;
  static constexpr uint32_t kCTypeStreamMp2 = 0x10004;
  static constexpr uint32_t kCTypeStreamMp3 = 0x10005;
  static constexpr uint32_t kCTypeStreamWav = 0x40000;  // | codec number
  static constexpr uint32_t kCTypeMusicMod = 0x20000;
  static constexpr uint32_t kCTypeMusicMtm = 0x20001;
  static constexpr uint32_t kCTypeMusicS3m = 0x20002;
  static constexpr uint32_t kCTypeMusicXm = 0x20003;
  static constexpr uint32_t kCTypeMusicIt = 0x20004;
  static constexpr uint32_t kCTypeMusicMo3 = 0x100;  // flag on a module type

  struct DeviceInfo {
    std::string name;
    std::string driver;
  };

  struct ChannelInfo {
    uint32_t freq = 0;
    uint32_t chans = 0;
    uint32_t flags = 0;
    uint32_t ctype = 0;
  };

  // Called with each downloaded block of a network stream, in order, without
  // in-stream metadata; data == nullptr (length 0) once the download has ended.
  using DownloadProc = std::function<void(const void* data, size_t length)>;
  // Called when a sync fires: sync handle, channel, sync-specific data.
  using SyncProc =
      std::function<void(Handle sync, Handle channel, uint32_t data)>;

  virtual ~AudioLibrary() = default;

  // Version word: high 16 bits 0x0204.
  virtual uint32_t GetVersion() = 0;
  // Opens output device `device` (1 = system default, 2.. = listed outputs).
  virtual bool Init(int device, uint32_t freq, uint32_t flags) = 0;
  // Releases every channel and the output device.
  virtual bool Free() = 0;
  // Fills `info` while device `device` (counting from 1) exists.
  virtual bool GetDeviceInfo(int device, DeviceInfo* info) = 0;
  virtual bool SetConfig(int option, uint32_t value) = 0;
  // Text options (agent, proxy); std::nullopt passes "none".
  virtual bool SetConfigPtr(int option,
                            const std::optional<std::string>& text) = 0;

  // Decoder plug-ins: 0 on failure. PluginFree(0) frees every plug-in.
  virtual Handle PluginLoad(const std::string& path, uint32_t flags) = 0;
  virtual bool PluginFree(Handle plugin) = 0;

  // 0 at once, without network access, for a text that is not an address the
  // library can open.
  virtual Handle StreamCreateUrl(const std::string& url, uint64_t offset,
                                 uint32_t flags, DownloadProc download) = 0;
  virtual Handle StreamCreateFile(const std::string& path, uint64_t offset,
                                  uint64_t length, uint32_t flags) = 0;
  virtual Handle MusicLoad(const std::string& path, uint64_t offset,
                           uint64_t length, uint32_t flags, uint32_t freq) = 0;
  virtual bool StreamFree(Handle stream) = 0;
  virtual bool MusicFree(Handle music) = 0;

  // Stale and unknown handles are harmless: the call reports failure.
  virtual bool ChannelPlay(Handle channel, bool restart) = 0;
  virtual bool ChannelPause(Handle channel) = 0;
  virtual bool ChannelStop(Handle channel) = 0;
  virtual int ChannelIsActive(Handle channel) = 0;
  virtual uint64_t ChannelGetLength(Handle channel, uint32_t mode) = 0;
  virtual uint64_t ChannelGetPosition(Handle channel, uint32_t mode) = 0;
  // Seconds of `bytes` (a length of kLengthError gives -1).
  virtual double ChannelBytes2Seconds(Handle channel, uint64_t bytes) = 0;
  virtual uint64_t ChannelSeconds2Bytes(Handle channel, double seconds) = 0;
  virtual bool ChannelSetPosition(Handle channel, uint64_t bytes,
                                  uint32_t mode) = 0;
  // Peak of the last ~20 ms: low word left, high word right, 0..32768 each.
  virtual uint32_t ChannelGetLevel(Handle channel) = 0;
  // std::nullopt when the channel has no tags of that type.
  virtual std::optional<std::string> ChannelGetTags(Handle channel,
                                                    uint32_t tags) = 0;
  virtual bool ChannelGetInfo(Handle channel, ChannelInfo* info) = 0;
  // 0 on failure. The end sync fires once, after the last sample was heard.
  virtual Handle ChannelSetSync(Handle channel, uint32_t type, uint64_t param,
                                SyncProc proc) = 0;
  virtual bool ChannelRemoveSync(Handle channel, Handle sync) = 0;

  // One tag ("%TITL", "%ARTI", "%ALBM", "%TRCK", "%GNRE", "%YEAR", "%CMNT");
  // empty when absent or when channel is 0.
  virtual std::string TagsRead(Handle channel, const std::string& format) = 0;
};

}  // namespace kivo
