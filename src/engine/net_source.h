#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/ffmpeg_decoder.h"
#include "engine/icy_demuxer.h"

namespace kivo::engine {

// The network options, copied into each stream when it opens.
struct NetOptions {
  uint32_t timeout_ms = 10000;
  std::string agent;
  std::string proxy;  // "user:pass@server:port", "server:port" or empty
  bool passive_ftp = true;
};

// True for the addresses libcurl opens for us: http, https and ftp.
bool IsNetworkAddress(const std::string& text);

// One download (http, https, ftp) on its own kivo-net thread, with in-stream
// ICY metadata split off. The audio bytes go, in order, to the download
// callback and into a bounded buffer that the decoder reads; when the buffer
// is full the download waits (the stream blocks, as a radio should).
//
// Threads: the download callback and `on_meta` run on kivo-net with no lock of
// ours held. Read runs on the channel's decode thread (or the opener);
// everything else may be called from any thread.
class NetSource final : public ByteSource {
 public:
  using DownloadProc = std::function<void(const void* data, size_t length)>;
  using MetaProc = std::function<void()>;

  NetSource(std::string url, NetOptions options, DownloadProc download,
            MetaProc on_meta);
  ~NetSource() override;
  NetSource(const NetSource&) = delete;
  NetSource& operator=(const NetSource&) = delete;

  // Starts the download and waits, at most the time-out, for the first audio
  // bytes. False when none came.
  bool Connect();
  // An FFmpeg demuxer name that fits the Content-Type, or empty.
  std::string FormatHint() const;
  std::optional<std::string> metadata() const;
  // While opening, reads give up at the time-out; afterwards they wait.
  void EndOpening();
  int Read(uint8_t* buffer, int size) override;
  void Cancel();
  // After Cancel: waits until the download thread has ended.
  void WaitStopped();

 private:
  void Run();
  void Configure(void* curl, std::string* proxy_user);
  void OnHeaderLine(const std::string& line);
  bool TakeIcyHead(const uint8_t** data, size_t* length);
  size_t OnBody(const uint8_t* data, size_t length);
  void OnAudio(const uint8_t* data, size_t length);
  void OnMeta(const std::string& text);
  bool ShouldAbort();

  static size_t HeaderThunk(char* data, size_t size, size_t count, void* self);
  static size_t BodyThunk(char* data, size_t size, size_t count, void* self);
  static int ProgressThunk(void* self, int64_t, int64_t, int64_t, int64_t);

  const std::string url_;
  const NetOptions options_;
  DownloadProc download_;
  MetaProc on_meta_;

  // Download-thread state: headers of the current response and the demuxer.
  bool status_seen_ = false;
  std::string icy_head_;
  size_t metaint_ = 0;
  std::string content_type_thread_;
  std::unique_ptr<IcyDemuxer> demuxer_;

  mutable std::mutex mutex_;  // guards everything below
  std::condition_variable data_cv_;
  std::condition_variable space_cv_;
  std::vector<uint8_t> buffer_;
  size_t head_ = 0;
  size_t size_ = 0;
  bool ended_ = false;
  bool cancelled_ = false;
  bool opening_ = true;
  std::chrono::steady_clock::time_point open_deadline_;
  std::chrono::steady_clock::time_point last_data_;
  std::string content_type_;
  std::optional<std::string> metadata_;

  std::thread thread_;
};

}  // namespace kivo::engine
