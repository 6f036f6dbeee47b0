// Network streams against loopback servers: ICY metadata, the download
// callback, stalls, hostile headers, redirects, a proxy, time-outs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>

#include "engine/net_fixture.h"
#include "support/loopback_server.h"

namespace kivo::engine {
namespace {

using loopback::RadioServer;
using test::Downloaded;
using test::EngineNet;
using test::Handle;
using test::SyncLatch;
using test::WaitUntil;

TEST_F(EngineNet, IcyTitlesSyncAndTheDownloadGetsOnlyTheAudio) {
  auto script = Radio();
  script.metaint = 4000;
  // The titles begin once the stream plays: the opener has seen no text.
  script.titles = {"", "", "", "", "A - B", "C - D", "C - D", "E - F"};
  script.chunk_pause_ms = 60;  // about twice as fast as it plays
  script.live = true;          // and off the air after its audio
  RadioServer server(script);
  Handle handle =
      engine_.StreamCreateUrl(server.Url(), 0, 0x100000, downloaded_.Proc());
  ASSERT_NE(handle, 0u);
  std::mutex mutex;
  std::vector<std::string> texts;
  auto record = [&] {
    auto text = engine_.ChannelGetTags(handle, AudioLibrary::kTagMeta);
    std::lock_guard lock(mutex);
    if (text && (texts.empty() || texts.back() != *text))
      texts.push_back(*text);
  };
  SyncLatch metas;
  engine_.ChannelSetSync(handle, AudioLibrary::kSyncMeta, 0,
                         [&](Handle, Handle, uint32_t) {
                           record();
                           metas.Fire(0);
                         });
  record();
  SyncLatch ended;
  PlayWithEndSync(handle, &ended);
  AudioLibrary::ChannelInfo info;
  ASSERT_TRUE(engine_.ChannelGetInfo(handle, &info));
  EXPECT_EQ(info.ctype, AudioLibrary::kCTypeStreamMp3);
  EXPECT_EQ(engine_.ChannelGetLength(handle, 0), AudioLibrary::kLengthError);
  EXPECT_EQ(engine_.ChannelBytes2Seconds(handle, AudioLibrary::kLengthError),
            -1);
  ASSERT_TRUE(ended.Wait());
  ASSERT_TRUE(WaitUntil([&] { return downloaded_.nulls() == 1; }));

  std::lock_guard lock(mutex);
  EXPECT_EQ(texts,
            (std::vector<std::string>{"StreamTitle='A - B';StreamUrl='';",
                                      "StreamTitle='C - D';StreamUrl='';",
                                      "StreamTitle='E - F';StreamUrl='';"}));
  EXPECT_LE(metas.count(), 3);  // a repeated block is not news
  EXPECT_TRUE(downloaded_.bytes == *audio_);
  EXPECT_FALSE(downloaded_.after_end);
  std::string request = server.Requests().at(0);
  EXPECT_NE(request.find("Icy-MetaData: 1\r\n"), std::string::npos);
  EXPECT_NE(request.find("User-Agent: Kivo Player v1.31\r\n"),
            std::string::npos);
}

TEST_F(EngineNet, AStallingServerStallsTheChannelUntilDataComes) {
  auto script = Radio();
  script.stall_after = 16000;  // about a second of audio
  script.stall_ms = 1500;
  RadioServer server(script);
  Handle handle = engine_.StreamCreateUrl(server.Url(), 0, 0x100000, nullptr);
  ASSERT_NE(handle, 0u);
  ASSERT_TRUE(engine_.ChannelPlay(handle, true));
  EXPECT_TRUE(WaitUntil([&] {
    return engine_.ChannelIsActive(handle) == AudioLibrary::kActiveStalled;
  }));
  EXPECT_TRUE(WaitUntil([&] {
    return engine_.ChannelIsActive(handle) == AudioLibrary::kActivePlaying;
  }));
  EXPECT_TRUE(engine_.StreamFree(handle));
}

// The calls the GUI thread makes return at once, whatever the network does.
using Clock = std::chrono::steady_clock;
constexpr auto kAtOnce = std::chrono::milliseconds(500);

TEST_F(EngineNet, ResumingAStalledStationReturnsAtOnce) {
  auto script = Radio();
  script.stall_after = 16000;
  script.stall_ms = 3000;
  RadioServer server(script);
  Handle handle = engine_.StreamCreateUrl(server.Url(), 0, 0x100000, nullptr);
  ASSERT_NE(handle, 0u);
  ASSERT_TRUE(engine_.ChannelPlay(handle, true));
  ASSERT_TRUE(WaitUntil([&] {
    return engine_.ChannelIsActive(handle) == AudioLibrary::kActiveStalled;
  }));
  ASSERT_TRUE(engine_.ChannelPause(handle));
  auto start = Clock::now();
  EXPECT_TRUE(engine_.ChannelPlay(handle, false));
  EXPECT_LT(Clock::now() - start, kAtOnce);
  EXPECT_NE(engine_.ChannelIsActive(handle), AudioLibrary::kActivePaused);
  EXPECT_TRUE(engine_.StreamFree(handle));
}

// A download callback that the test holds up until it lets it go.
struct HeldCallback {
  std::mutex mutex;
  std::condition_variable cv;
  bool hold = false;
  bool holding = false;
  bool released = false;

  static AudioLibrary::DownloadProc Proc(std::shared_ptr<HeldCallback> held) {
    return [held](const void* data, size_t) {
      std::unique_lock lock(held->mutex);
      if (!data || !held->hold || held->released) return;
      held->holding = true;
      held->cv.notify_all();
      held->cv.wait_for(lock, std::chrono::seconds(5),
                        [&] { return held->released; });
    };
  }
  void Release() {
    std::lock_guard lock(mutex);
    released = true;
    cv.notify_all();
  }
};

TEST_F(EngineNet, FreeingAStreamNeverWaitsForItsDownloadThread) {
  auto script = Radio();
  script.chunk_pause_ms = 20;
  RadioServer server(script);
  auto held = std::make_shared<HeldCallback>();
  Handle handle = engine_.StreamCreateUrl(server.Url(), 0, 0x100000,
                                          HeldCallback::Proc(held));
  ASSERT_NE(handle, 0u);
  ASSERT_TRUE(engine_.ChannelPlay(handle, true));
  {
    std::unique_lock lock(held->mutex);
    held->hold = true;
    ASSERT_TRUE(held->cv.wait_for(lock, std::chrono::seconds(5),
                                  [&] { return held->holding; }));
  }
  auto start = Clock::now();
  EXPECT_TRUE(engine_.StreamFree(handle));
  EXPECT_LT(Clock::now() - start, kAtOnce);
  EXPECT_EQ(engine_.ChannelIsActive(handle), AudioLibrary::kActiveStopped);
  held->Release();
}

TEST_F(EngineNet, BogusMetaintAndOversizedBlocksDoNotHurt) {
  auto bogus = Radio();
  bogus.metaint_header = "banana";
  bogus.live = true;
  RadioServer plain(bogus);
  Handle handle =
      engine_.StreamCreateUrl(plain.Url(), 0, 0x100000, downloaded_.Proc());
  ASSERT_NE(handle, 0u);
  ASSERT_TRUE(WaitUntil([&] { return downloaded_.nulls() == 1; }));
  EXPECT_TRUE(downloaded_.bytes == *audio_);
  EXPECT_FALSE(engine_.ChannelGetTags(handle, AudioLibrary::kTagMeta));
  engine_.StreamFree(handle);

  auto oversized = Radio();
  oversized.metaint = 8000;
  oversized.oversized_meta = true;
  oversized.live = true;
  RadioServer big(oversized);
  Downloaded second;
  handle = engine_.StreamCreateUrl(big.Url(), 0, 0x100000, second.Proc());
  ASSERT_NE(handle, 0u);
  ASSERT_TRUE(WaitUntil([&] { return second.nulls() == 1; }));
  EXPECT_TRUE(second.bytes == *audio_);
  auto text = engine_.ChannelGetTags(handle, AudioLibrary::kTagMeta);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->rfind("StreamTitle='Big';", 0), 0u);
  EXPECT_EQ(text->size(), 255u * 16);
}

TEST_F(EngineNet, RedirectsAreFollowed) {
  auto script = Radio();
  script.redirect = true;
  RadioServer server(script);
  Handle handle =
      engine_.StreamCreateUrl(server.Url("/old"), 0, 0x100000, nullptr);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(EngineNet, AStationBehindAProxy) {
  auto script = Radio();
  script.proxy = true;
  RadioServer proxy(script);
  // Nothing listens on port 1: only the proxy can reach this station.
  const std::string station = "http://127.0.0.1:1/stream";
  ASSERT_TRUE(engine_.SetConfigPtr(
      AudioLibrary::kConfigNetProxy,
      "user:secret@127.0.0.1:" + std::to_string(proxy.port())));
  Handle handle = engine_.StreamCreateUrl(station, 0, 0x100000, nullptr);
  ASSERT_NE(handle, 0u);
  std::string request = proxy.Requests().at(0);
  EXPECT_EQ(request.rfind("GET " + station + " HTTP/1.1\r\n", 0), 0u);
  EXPECT_NE(request.find("Proxy-Authorization: Basic dXNlcjpzZWNyZXQ="),
            std::string::npos);
  engine_.StreamFree(handle);

  ASSERT_TRUE(
      engine_.SetConfigPtr(AudioLibrary::kConfigNetProxy, std::nullopt));
  EXPECT_EQ(engine_.StreamCreateUrl(station, 0, 0x100000, nullptr), 0u);
}

TEST_F(EngineNet, ASilentServerTimesOut) {
  // Accepts connections (the kernel's backlog does) but never answers.
  int port = 0;
  const int listener = loopback::ListenOnLoopback(&port);
  ASSERT_GE(listener, 0);
  engine_.SetConfig(AudioLibrary::kConfigNetTimeout, 300);
  std::string url = "http://127.0.0.1:" + std::to_string(port) + "/";
  EXPECT_EQ(engine_.StreamCreateUrl(url, 0, 0x100000, downloaded_.Proc()), 0u);
  EXPECT_EQ(downloaded_.nulls(), 1);  // the download ended, and said so
  close(listener);
}

}  // namespace
}  // namespace kivo::engine
