// The player's playback on the real engine: generated one-second files and a
// loopback radio station, with SDL's dummy output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "core/playlist/entry_names.h"
#include "engine/capture.h"
#include "engine/hostile_media.h"
#include "engine/player_fixture.h"
#include "support/radio_server.h"

namespace kivo {
namespace {

using engine::test::PlayerOnEngineTest;
using engine::test::Tone;
using loopback::RadioServer;

TEST_F(PlayerOnEngineTest, RepeatAllPlaysThroughAndWraps) {
  StartWithMode(4);
  std::vector<int> played = PlayedFor(4.5);
  ASSERT_GE(played.size(), 4u);
  EXPECT_EQ(std::vector<int>(played.begin(), played.begin() + 4),
            (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(PlayerOnEngineTest, NoRepeatStopsAfterTheLastLine) {
  StartWithMode(3);
  std::vector<int> played = PlayedFor(4.5);
  EXPECT_EQ(played, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ChannelState(), AudioLibrary::kActiveStopped);
}

// The player's output captured by SDL's disk driver, paced in real time.
class PlayerHeardTest : public PlayerOnEngineTest {
 protected:
  static void SetUpTestSuite() {
    capture_path_ = std::filesystem::temp_directory_path() /
                    ("kivo-heard-" + std::to_string(getpid()) + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture_path_.c_str(), 1);
    unsetenv("SDL_DISKAUDIODELAY");
  }
  static void TearDownTestSuite() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::remove(capture_path_);
  }
  static inline std::filesystem::path capture_path_;
};

TEST_F(PlayerHeardTest, TheNextLineFollowsWithoutSilence) {
  std::string a = dir.File("a.wav");
  std::string b = dir.File("b.wav");
  // The first ends part-way through a device buffer.
  ASSERT_TRUE(engine::test::Render(a, "0.3", 0.37, "-c:a pcm_f32le"));
  ASSERT_TRUE(engine::test::Render(b, "0.2", 0.3, "-c:a pcm_f32le"));
  dir.Write("settings.ini",
            "[settings]\r\nDonationMsg=0\r\nMode=3\r\nvolume=10000\r\n");
  ASSERT_TRUE(player->Startup({dir.Write("two.kpp", a + "\r\n" + b + "\r\n")},
                              dir.path()));
  std::vector<int> played = PlayedFor(1.5);
  EXPECT_EQ(played, (std::vector<int>{0, 1}));
  audio.Free();  // closes the file
  engine::test::Capture heard(engine::test::ReadFloats(capture_path_.string()));
  EXPECT_EQ(heard.CountNear(0.3f, 0.001f), 37 * 441u);
  EXPECT_EQ(heard.CountNear(0.2f, 0.001f), 30 * 441u);
  auto [first, last] = heard.Span(0.1f);
  // Every frame between the first sound and the last is one of the two.
  EXPECT_EQ(last - first, 67 * 441u) << "frames of silence between the lines";
}

TEST_F(PlayerOnEngineTest, ShufflePlaysEachOncePerCycle) {
  StartWithMode(1);
  std::vector<int> played = PlayedFor(3.6);
  ASSERT_GE(played.size(), 3u);
  std::vector<int> cycle(played.begin(), played.begin() + 3);
  std::sort(cycle.begin(), cycle.end());
  EXPECT_EQ(cycle, (std::vector<int>{0, 1, 2}));
}

TEST_F(PlayerOnEngineTest, ARadioStationThatDropsComesBackAndKeepsRecording) {
  std::string mp3 = dir.File("station.mp3");
  ASSERT_TRUE(Tone(mp3, 440, 0.5, 6.0, "-c:a libmp3lame -b:a 128k"));
  std::string served = dir.Read("station.mp3");
  RadioServer::Script script;
  script.audio = served;
  script.metaint = 16384;
  script.titles = {"Guns N' Roses - Live", "Steins;Gate"};
  // About as fast as it plays: titles far enough apart to be seen, and
  // little enough buffered that the drop is heard as a stall.
  script.chunk_pause_ms = 1000;
  script.live = true;  // off the air after its audio
  const size_t drop_after = 3 * 16384 + 1000;
  script.drop_after = drop_after;
  RadioServer server(script);
  std::string next = dir.File("next.mp3");
  ASSERT_TRUE(Tone(next, 300, 0.5, 1.0, "-c:a libmp3lame"));
  dir.Write("settings.ini", "[settings]\r\nDonationMsg=0\r\nMode=3\r\n");
  dir.Write("radio.kpp", server.Url() + "\r\n" + next + "\r\n");
  ASSERT_TRUE(player->Startup({dir.File("radio.kpp")}, dir.path()));
  ASSERT_TRUE(PumpUntil(
      [&] { return ChannelState() == AudioLibrary::kActivePlaying; }, 10))
      << model().Line(0) << " state " << ChannelState();
  AudioLibrary::Handle channel = player->state().playback.current_channel;
  dialogs.save_answers.push_back(std::make_pair(dir.File("recorded.mp3"), 1));
  player->context().menus.Click("Record1");
  EXPECT_TRUE(PumpUntil(
      [&] { return model().Line(0) == "[S] Guns N' Roses - Live"; }, 10));
  EXPECT_TRUE(
      PumpUntil([&] { return model().Line(0) == "[S] Steins;Gate"; }, 10));
  // The drop: the same channel stalls, records on, and the playlist waits.
  bool stalled_on_line_0 = false;
  ASSERT_TRUE(PumpUntil(
      [&] {
        stalled_on_line_0 |= ChannelState() == AudioLibrary::kActiveStalled &&
                             model().playing_index == 0 &&
                             player->playback().RecordingActive();
        return server.Requests().size() >= 2;
      },
      10));
  EXPECT_TRUE(stalled_on_line_0);
  EXPECT_EQ(player->state().playback.current_channel, channel);
  // Off the air at last: the download ends, the recording with it, and the
  // next line plays.
  ASSERT_TRUE(
      PumpUntil([&] { return !player->playback().RecordingActive(); }, 20));
  EXPECT_TRUE(PumpUntil([&] { return model().playing_index == 1; }, 10));
  std::string recorded = dir.Read("recorded.mp3");
  ASSERT_GT(recorded.size(), served.size() - drop_after);
  ASSERT_LE(recorded.size(), served.size());
  EXPECT_EQ(recorded, served.substr(served.size() - recorded.size()));
  EXPECT_LT(longest_drain, std::chrono::milliseconds(500));
}

TEST_F(PlayerOnEngineTest, HostileFilesHandedOverInTurnLeaveItPlayingTheNext) {
  std::filesystem::create_directory(dir.File("hostile"));
  std::vector<engine::test::HostileFile> files =
      engine::test::WriteHostileMedia(dir.File("hostile"));
  ASSERT_FALSE(files.empty());
  dir.Write("settings.ini", "[settings]\r\nDonationMsg=0\r\nMode=3\r\n");
  ASSERT_TRUE(player->Startup({}, dir.path()));
  for (const engine::test::HostileFile& file : files) {
    SCOPED_TRACE(file.what);
    player->AddHandedFiles(file.path + '\n', '\n');
    int line = model().playing_index;
    ASSERT_EQ(model().file_list[line], file.path);
    // The opening worker reports back within seconds, with the error form
    // or a channel; the file's name stays the line while it plays.
    ASSERT_TRUE(
        PumpUntil([&] { return !player->playback().OpenPending(); }, 10));
    const std::string& shown = model().Line(line);
    EXPECT_TRUE(shown == "[Error] " + file.path ||
                shown == BaseTitle(file.path))
        << shown;
  }
  player->AddHandedFiles(dir.File("hostile/good.mp3") + '\n', '\n');
  EXPECT_TRUE(PumpUntil(
      [&] { return ChannelState() == AudioLibrary::kActivePlaying; }, 10));
  EXPECT_EQ(model().Line(model().playing_index), "good");
}

}  // namespace
}  // namespace kivo
