// Stations that come back: a dropped or silent station is reconnected on the
// same channel, a refusal or a station that stays away ends the stream, a file
// of known length ends when whole and resumes where it broke, and nothing
// grows with each reconnect.
#include <gtest/gtest.h>
#include <malloc.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/net_fixture.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizer runtime's count of live heap bytes (its quarantine excluded).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace kivo::engine {
namespace {

using test::EngineNet;
using test::Handle;
using test::RadioServer;
using test::SyncLatch;
using test::WaitUntil;

// True when `states` holds a stall followed, later, by playing again.
bool StalledThenPlayed(const std::vector<int>& states) {
  auto stalled =
      std::find(states.begin(), states.end(), AudioLibrary::kActiveStalled);
  return stalled != states.end() &&
         std::find(stalled, states.end(), AudioLibrary::kActivePlaying) !=
             states.end();
}

class EngineReconnect : public EngineNet {
 protected:
  // Plays the station until the end sync and the download's end; what the
  // download callback received.
  std::string PlayToTheEnd(RadioServer& server, int limit_ms = 10000) {
    test::Downloaded downloaded;
    Handle handle =
        engine_.StreamCreateUrl(server.Url(), 0, 0x100000, downloaded.Proc());
    EXPECT_NE(handle, 0u);
    SyncLatch ended;
    PlayWithEndSync(handle, &ended);
    EXPECT_TRUE(ended.Wait(1, limit_ms));
    EXPECT_TRUE(WaitUntil([&] { return downloaded.nulls() == 1; }));
    engine_.StreamFree(handle);
    return downloaded.bytes;
  }

  // Plays the station until the end sync, noting the channel's states, and
  // checks that it came back on its channel with every byte once, in order.
  void ExpectComesBackWhole(RadioServer& server) {
    Handle handle =
        engine_.StreamCreateUrl(server.Url(), 0, 0x100000, downloaded_.Proc());
    ASSERT_NE(handle, 0u);
    SyncLatch ended;
    PlayWithEndSync(handle, &ended);
    std::vector<int> states;
    WaitUntil(
        [&] {
          int state = engine_.ChannelIsActive(handle);
          if (states.empty() || states.back() != state) states.push_back(state);
          return ended.count() > 0;
        },
        20000);
    ASSERT_EQ(ended.count(), 1) << "the station came back and played out";
    EXPECT_TRUE(StalledThenPlayed(states)) << ::testing::PrintToString(states);
    ASSERT_TRUE(WaitUntil([&] { return downloaded_.nulls() == 1; }));
    EXPECT_TRUE(downloaded_.bytes == *audio_);
  }
};

TEST_F(EngineReconnect, ADroppedStationComesBackOnTheSameChannel) {
  auto script = Radio();
  script.live = true;
  script.drop_after = 24000;  // once the stream has opened
  script.chunk_pause_ms = 50;
  RadioServer server(script);
  ExpectComesBackWhole(server);
  // The drop, then the end of the audio, each led to a new request; the
  // station was off the air at the last.
  std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  for (const std::string& request : requests) {
    EXPECT_EQ(request.rfind("GET /stream HTTP/1.1\r\n", 0), 0u);
  }
}

TEST_F(EngineReconnect, AStationSilentLongerThanTheTimeOutIsReconnected) {
  engine_.SetConfig(AudioLibrary::kConfigNetTimeout, 1000);
  auto script = Radio();
  script.live = true;
  script.stall_after = 16000;
  script.stall_ms = 20000;
  RadioServer server(script);
  ExpectComesBackWhole(server);
  EXPECT_GE(server.Requests().size(), 2u);
}

TEST_F(EngineReconnect, ARefusalOnReconnectEndsTheStream) {
  auto script = Radio();
  script.drop_after = 24000;  // once the stream has opened
  script.chunk_pause_ms = 50;
  script.refuse_from_request = 2;
  RadioServer server(script);
  EXPECT_TRUE(PlayToTheEnd(server) == audio_->substr(0, 24000));
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(server.Requests().size(), 2u);  // a 404 is not retried
}

TEST_F(EngineReconnect, AStationThatStaysAwayEndsWhenTheRetryTimeIsUp) {
  engine_.SetConfig(AudioLibrary::kConfigNetTimeout, 500);
  engine_.SetConfig(Engine::kConfigNetReconnectMs, 2000);
  auto script = Radio();
  script.drop_after = 24000;  // once the stream has opened
  script.chunk_pause_ms = 50;
  script.max_requests = 1;  // later connections get no answer at all
  RadioServer server(script);
  EXPECT_TRUE(PlayToTheEnd(server) == audio_->substr(0, 24000));
}

TEST_F(EngineReconnect, AFileOfKnownLengthEndsWhenWholeAndResumesWhenCut) {
  for (bool ranges : {true, false}) {
    SCOPED_TRACE(ranges ? "with ranges" : "without ranges");
    auto script = Radio();
    script.file = true;
    script.ranges = ranges;
    script.drop_after = 24000;  // once the stream has opened
    script.chunk_pause_ms = 50;
    RadioServer server(script);
    EXPECT_TRUE(PlayToTheEnd(server, 15000) == *audio_);
    std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);  // the whole file ends without another
    // Asked from where it broke; a server without ranges sent it all again.
    EXPECT_NE(requests[1].find("Range: bytes=24000-"), std::string::npos);
  }
}

size_t HeapBytes() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

size_t Entries(const char* folder) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++count;
  }
  return count;
}

struct Footprint {
  size_t threads;
  size_t files;
  size_t heap_bytes;
};

Footprint Measure() {
  return {Entries("/proc/self/task"), Entries("/proc/self/fd"), HeapBytes()};
}

TEST_F(EngineReconnect, ReconnectsLeaveNoThreadsFilesOrMemoryBehind) {
  test::TempDir dir;
  std::string path = dir.File("long.mp3");
  ASSERT_TRUE(test::Tone(path, 440, 0.5, 40.0, "-c:a libmp3lame -b:a 128k"));
  std::ifstream in(path, std::ios::binary);
  auto script = Radio();
  script.audio.assign(std::istreambuf_iterator<char>(in),
                      std::istreambuf_iterator<char>());
  script.live = true;
  script.drop_every = 32000;  // two seconds of audio each time
  script.chunk_pause_ms = 40;
  script.max_requests = 40;
  script.lifetime_ms = 60000;
  RadioServer server(script);
  Handle handle = engine_.StreamCreateUrl(server.Url(), 0, 0x100000, nullptr);
  ASSERT_NE(handle, 0u);
  ASSERT_TRUE(engine_.ChannelPlay(handle, true));
  // Each sample is taken while the stream waits to reconnect.
  auto after_request = [&](size_t count) {
    EXPECT_TRUE(
        WaitUntil([&] { return server.Requests().size() >= count; }, 20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    return Measure();
  };
  Footprint early = after_request(4);
  Footprint late = after_request(14);
  EXPECT_EQ(late.threads, early.threads);
  EXPECT_EQ(late.files, early.files);
  EXPECT_LT(late.heap_bytes, early.heap_bytes + 512 * 1024)
      << early.heap_bytes << " -> " << late.heap_bytes;
  EXPECT_NE(engine_.ChannelIsActive(handle), AudioLibrary::kActiveStopped);
  EXPECT_TRUE(engine_.StreamFree(handle));
}

}  // namespace
}  // namespace kivo::engine
