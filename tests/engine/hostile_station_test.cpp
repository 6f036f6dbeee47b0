// Radio stations nobody controls, through the player on the real engine: each
// hostile station opens or fails with the error line, while the GUI loop keeps
// ticking and memory stays bounded.
#include "support/hostile_station.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// From the sanitizer runtime (its header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "engine/player_fixture.h"
#include "engine/process_counts.h"

namespace kivo::engine::test {
namespace {

using loopback::HostileStation;
using loopback::IcyBody;
using loopback::SelfSignedTlsServer;
using Connection = HostileStation::Connection;
using std::chrono::milliseconds;

constexpr auto kGuiBound = milliseconds(100);
constexpr long kMemoryBoundBytes = 128L << 20;
const char kIcyHead[] = "ICY 200 OK\r\nContent-Type: audio/mpeg\r\n";

// The heap in use. Under a sanitizer its own count (the address sanitizer's
// quarantine of freed blocks and the thread sanitizer's shadow memory are
// not the program's); resident memory otherwise.
long HeapBytes() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
#endif
}

// The MP3 audio every station here sends, made once for the suite.
std::string* station_audio = nullptr;
const std::string& Audio() { return *station_audio; }

class HostileStationTest : public PlayerOnEngineTest {
 protected:
  static void SetUpTestSuite() {
    kivo::testing::TempDir dir;
    std::string path = dir.File("station.mp3");
    ASSERT_TRUE(Tone(path, 440, 0.5, 4.0, "-c:a libmp3lame -b:a 128k"));
    std::ifstream in(path, std::ios::binary);
    station_audio = new std::string((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
  }
  static void TearDownTestSuite() { delete station_audio; }

  void SetUp() override {
    loop.threaded = true;
    dir.Write("settings.ini", "[settings]\r\nDonationMsg=0\r\nMode=3\r\n");
    ASSERT_TRUE(player->Startup({}, dir.path()));
    // A short time-out keeps the stations that never answer quick.
    audio.SetConfig(AudioLibrary::kConfigNetTimeout, 2000);
    heap_before_ = HeapBytes();
  }

  // Hands `url` over as a new line and pumps until `done` or `seconds`.
  bool PlayUntil(const std::string& url, const std::function<bool()>& done,
                 double seconds) {
    auto start = std::chrono::steady_clock::now();
    player->AddHandedFiles(url + '\n', '\n');
    // The hand-off's own work (it saves the playlist) is not the station's.
    hand_off_time = std::chrono::steady_clock::now() - start;
    ResetWatchdog();
    return PumpUntil(done, seconds);
  }
  bool Refused() {
    return !model().Empty() &&
           model().Line(model().Count() - 1).rfind("[Error] ", 0) == 0;
  }
  bool Playing() { return ChannelState() == AudioLibrary::kActivePlaying; }

  void ExpectResponsiveAndBounded() {
    EXPECT_LT(longest_gap, kGuiBound)
        << "GUI loop stalled "
        << std::chrono::duration_cast<milliseconds>(longest_gap).count()
        << " ms (longest batch of GUI work "
        << std::chrono::duration_cast<milliseconds>(longest_drain).count()
        << " ms; the hand-off took "
        << std::chrono::duration_cast<milliseconds>(hand_off_time).count()
        << " ms)";
    EXPECT_LT(HeapBytes() - heap_before_, kMemoryBoundBytes);
  }

  long heap_before_ = 0;
  std::chrono::steady_clock::duration hand_off_time{};
};

TEST_F(HostileStationTest, AnHtmlPageWithStatus200IsAnError) {
  HostileStation station([](Connection& c) {
    std::string page =
        "<html><body>" + std::string(20000, 'x') + "</body></html>";
    c.Send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
           std::to_string(page.size()) + "\r\n\r\n" + page);
  });
  EXPECT_TRUE(PlayUntil(
      station.Url(), [&] { return Refused(); }, 10));
  ExpectResponsiveAndBounded();
}

TEST_F(HostileStationTest, HeadersAtOneBytePerSecondTimeOut) {
  HostileStation station([](Connection& c) {
    c.Trickle(std::string(kIcyHead) + "icy-name: slow\r\n\r\n", 1, 1000);
  });
  EXPECT_TRUE(PlayUntil(
      station.Url(), [&] { return Refused(); }, 10));
  ExpectResponsiveAndBounded();
}

TEST_F(HostileStationTest, AnEndlessHeaderLineIsAnError) {
  HostileStation station([](Connection& c) {
    c.Send(std::string(kIcyHead) + "X-Endless: ");
    while (c.Send(std::string(64 * 1024, 'a'))) {
    }
  });
  EXPECT_TRUE(PlayUntil(
      station.Url(), [&] { return Refused(); }, 10));
  ExpectResponsiveAndBounded();
}

TEST_F(HostileStationTest, BogusMetaintsStillPlay) {
  for (const char* metaint : {"0", "2147483648"}) {
    HostileStation station([metaint](Connection& c) {
      c.Send(std::string(kIcyHead) + "icy-metaint: " + metaint + "\r\n\r\n" +
             Audio());
    });
    EXPECT_TRUE(PlayUntil(
        station.Url(), [&] { return Playing(); }, 10))
        << metaint;
    ExpectResponsiveAndBounded();
  }
}

TEST_F(HostileStationTest, AMaximalBlockAfterEveryByteKeepsThePlayerAnswering) {
  HostileStation station([](Connection& c) {
    if (!c.Send(std::string(kIcyHead) + "icy-metaint: 1\r\n\r\n")) return;
    for (size_t at = 0; at < Audio().size(); ++at) {
      std::string title = "StreamTitle='" + std::to_string(at) + "';";
      title.resize(4080, 'x');
      if (!c.Send(IcyBody(Audio().substr(at, 1), 1, {title}))) return;
    }
  });
  PlayUntil(
      station.Url(), [] { return false; }, 4);
  ExpectResponsiveAndBounded();
}

// Blocks of the largest size with a new title each: every title a listener
// could be shown comes from the station's text, and the player stays fine.
std::vector<std::string> OddTitleBlocks() {
  std::vector<std::string> blocks;
  for (int n = 0; n < 4; ++n) {
    std::string text =
        "StreamTitle='Caf\xe9 \xff\xfe\xc3( Song " + std::to_string(n) + "';";
    text += std::string(4080 - text.size(), '\xc0');
    blocks.push_back(text);
  }
  blocks.push_back(std::string("StreamTitle='Nul\0Hidden';", 25));
  return blocks;
}

HostileStation::Reply OddTitleStation() {
  return [](Connection& c) {
    c.Send(std::string(kIcyHead) + "icy-metaint: 1024\r\n\r\n" +
           IcyBody(Audio(), 1024, OddTitleBlocks()));
  };
}

TEST_F(HostileStationTest, MaximalTitlesWithNulsAndBadUtf8EveryBlock) {
  HostileStation station(OddTitleStation());
  EXPECT_TRUE(PlayUntil(
      station.Url(), [&] { return Playing(); }, 10));
  PumpUntil([] { return false; }, 1);
  ExpectResponsiveAndBounded();
}

TEST_F(HostileStationTest, MaximalOddTitlesReachTheLine) {
  HostileStation station(OddTitleStation());
  EXPECT_TRUE(PlayUntil(
      station.Url(),
      [&] {
        return Playing() &&
               model().Line(model().Count() - 1).rfind("[S] Caf", 0) == 0;
      },
      10))
      << model().Line(model().Count() - 1) << " state " << ChannelState();
}

TEST_F(HostileStationTest, RedirectsThatNeverEndOrLeaveTheWebAreRefused) {
  std::string target;
  HostileStation station(
      [&target](Connection& c) {
        c.Send("HTTP/1.0 302 Found\r\nLocation: " + target +
               "\r\nContent-Length: 0\r\n\r\n");
      },
      40);
  for (std::string where :
       {station.Url("/again"), std::string("file:///etc/passwd"),
        std::string("dict://127.0.0.1:1/x")}) {
    target = where;
    EXPECT_TRUE(PlayUntil(
        station.Url(), [&] { return Refused(); }, 10))
        << where;
    ExpectResponsiveAndBounded();
  }
  EXPECT_LE(station.requests(), 30);
}

TEST_F(HostileStationTest, AChunkedResponsePlaysWithItsTitles) {
  HostileStation station([](Connection& c) {
    std::string body = IcyBody(Audio(), 8192, {"StreamTitle='Chunked';"});
    std::string reply =
        "HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nicy-metaint: "
        "8192\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (size_t at = 0; at < body.size(); at += 1000) {
      std::string piece = body.substr(at, 1000);
      char size[16];
      snprintf(size, sizeof(size), "%zx\r\n", piece.size());
      reply += size + piece + "\r\n";
    }
    c.Send(reply + "0\r\n\r\n");
  });
  EXPECT_TRUE(PlayUntil(
      station.Url(),
      [&] {
        return Playing() && model().Line(model().Count() - 1) == "[S] Chunked";
      },
      10))
      << model().Line(model().Count() - 1) << " state " << ChannelState()
      << " pending " << player->playback().OpenPending();
  ExpectResponsiveAndBounded();
}

TEST_F(HostileStationTest, ATlsServerWithABadCertificateIsAnError) {
  SelfSignedTlsServer server(dir.path());
  ASSERT_TRUE(server.ready()) << "openssl s_server did not start";
  EXPECT_TRUE(PlayUntil(
      server.Url(), [&] { return Refused(); }, 10));
  ExpectResponsiveAndBounded();
}

// A station that sends its audio about as fast as it plays, for as long as
// the test runs.
HostileStation::Reply SteadyStation() {
  return [](Connection& c) {
    std::string body = std::string(kIcyHead) + "\r\n";
    while (body.size() < 60 * 16384) body += Audio();
    c.Trickle(body, 16384, 500);
  };
}

TEST_F(HostileStationTest, RapidSwitchesLeaveOneStationAndNoLeftovers) {
  HostileStation first(SteadyStation(), 80, 60000);
  HostileStation second(SteadyStation(), 80, 60000);
  ASSERT_TRUE(PlayUntil(
      first.Url(), [&] { return Playing(); }, 10));
  player->AddHandedFiles(second.Url() + '\n', '\n');
  ASSERT_TRUE(PumpUntil([&] { return Playing(); }, 10));
  auto settled = [&] {
    return Playing() && model().playing_index == 1 &&
           !player->playback().OpenPending();
  };
  ASSERT_TRUE(PumpUntil(settled, 10));
  const int threads_before = engine::test::ThreadCount();
  const int fds_before = engine::test::OpenDescriptorCount();
  std::vector<AudioLibrary::Handle> channels;
  std::chrono::steady_clock::duration longest_switch{};
  ResetWatchdog();
  for (int n = 0; n < 100; ++n) {
    Tick();
    window.SelectLine(n % 2);
    auto start = std::chrono::steady_clock::now();
    player->PlaylistDoubleClick();
    longest_switch =
        std::max(longest_switch, std::chrono::steady_clock::now() - start);
    loop.Drain();
    channels.push_back(player->state().playback.current_channel);
  }
  Tick();
  // The last switch went to the second line.
  ASSERT_TRUE(PumpUntil(settled, 15))
      << "line " << model().playing_index << " state " << ChannelState()
      << " pending " << player->playback().OpenPending() << " "
      << model().Line(1);
  AudioLibrary::Handle playing = player->state().playback.current_channel;
  for (AudioLibrary::Handle channel : channels) {
    if (channel != playing) {
      EXPECT_EQ(audio.ChannelIsActive(channel), AudioLibrary::kActiveStopped);
    }
  }
  EXPECT_TRUE(PumpUntil(
      [&] {
        return engine::test::ThreadCount() <= threads_before &&
               engine::test::OpenDescriptorCount() <= fds_before;
      },
      10))
      << "threads " << threads_before << " -> " << engine::test::ThreadCount()
      << ", fds " << fds_before << " -> "
      << engine::test::OpenDescriptorCount();
  EXPECT_TRUE(settled());
  EXPECT_LT(longest_switch, kGuiBound);
  ExpectResponsiveAndBounded();
}

}  // namespace
}  // namespace kivo::engine::test
