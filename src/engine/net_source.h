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
  uint32_t reconnect_ms = 300000;  // how long an outage is retried
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
// Once the stream has opened, a connection that drops, or that brings no byte
// for the time-out, is made again to the same address, after pauses of 1 s,
// 2 s, 4 s ... at most 30 s, until `reconnect_ms` have passed without audio.
// Meanwhile reads wait, so the channel stalls. A refusal (HTTP 4xx) ends the
// stream at once, and so does a stream of known length that has arrived
// whole; one that broke off continues from where it broke, by a range request
// or, where the server ignores it, by skipping what had arrived. The download
// callback sees every audio byte once, in order, across reconnects.
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
  // The pauses between the tries of one outage.
  struct Outage {
    bool active = false;
    std::chrono::steady_clock::time_point since;
    int pause_ms = 0;
  };

  void Run();
  // One connection; true when the stream should connect again.
  bool Transfer();
  void BeginTransfer();
  bool ShouldRetry(bool transfer_ok, long status);
  // Pauses before the next try; false when the tries have run out or the
  // stream was cancelled.
  bool WaitToRetry(Outage* outage);
  void Configure(void* curl, std::string* proxy_user);
  void OnHeaderLine(const std::string& line);
  bool TakeIcyHead(const uint8_t** data, size_t* length);
  void StartBody();
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

  // Download-thread state of the current connection: its curl handle, the
  // headers of its response, the demuxer and what it delivered.
  void* curl_ = nullptr;
  bool status_seen_ = false;
  long status_ = 0;
  bool chunked_ = false;
  std::string icy_head_;
  size_t metaint_ = 0;
  std::string content_type_thread_;
  std::unique_ptr<IcyDemuxer> demuxer_;
  bool body_started_ = false;
  uint64_t skip_bytes_ = 0;  // bytes of this body that had arrived before
  uint64_t transfer_audio_bytes_ = 0;
  // Download-thread state across connections.
  uint64_t audio_bytes_ = 0;  // audio bytes delivered in all
  int64_t total_bytes_ = -1;  // length of a plain file, -1 for a live stream
  uint64_t resume_at_ = 0;    // where a file that broke off continues
  bool ranges_refused_ = false;

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
