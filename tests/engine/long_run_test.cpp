// A long run of the player on the real engine: a thousand track changes in
// Repeat All leave the process as it was after the first hundred.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "engine/allocation_watch.h"
#include "engine/player_fixture.h"
#include "engine/process_counts.h"

namespace kivo {
namespace {

using engine::test::AllocationWatch;
using engine::test::PlayerOnEngineTest;

// What nine hundred more changes may add to the live heap: under 150 bytes
// a change, far less than a channel, a decoder or a file name left behind.
constexpr size_t kHeapGrowthBoundBytes = 128 * 1024;

struct ProcessFigures {
  int threads = 0;
  int fds = 0;
  size_t heap_bytes = 0;
};

class LongRunTest : public PlayerOnEngineTest {
 protected:
  // Very short files in three formats, so that each decoder opens and
  // closes hundreds of times.
  void StartShortFilesInRepeatAll() {
    std::string list;
    const char* kFormats[][2] = {{"mp3", "-c:a libmp3lame"},
                                 {"flac", "-c:a flac"},
                                 {"wav", "-c:a pcm_s16le"}};
    for (const auto& [extension, codec] : kFormats) {
      std::string path = dir.File(std::string("short.") + extension);
      ASSERT_TRUE(engine::test::Tone(path, 440, 0.5, kSeconds, codec));
      list += path + "\r\n";
    }
    dir.Write("short.kpp", list);
    dir.Write("settings.ini", "[settings]\r\nDonationMsg=0\r\nMode=4\r\n");
    ASSERT_TRUE(player->Startup({dir.File("short.kpp")}, dir.path()));
  }

  // Runs posted work until `total` changes of the playing line have been
  // seen in all; false when they stop coming. Natural ends of the files take
  // about 80 ms a change here, so Next is pressed as soon as each change has
  // completed (its line plays, nothing is being opened), and the loop looks
  // again every millisecond. `resting` sees the process at each such moment.
  template <typename Resting>
  bool ChangesReach(int total, Resting resting) {
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::duration<double>(kSecondsPerChangeBound *
                                                  (total - changes_));
    while (std::chrono::steady_clock::now() < deadline) {
      loop.Drain();
      if (model().playing_index != last_index_) {
        last_index_ = model().playing_index;
        ++changes_;
      }
      if (changes_ >= total) return true;
      if (Playing()) {
        resting();
        player->playback().NextEntry();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
  bool ChangesReach(int total) {
    return ChangesReach(total, [] {});
  }
  bool Playing() {
    return ChannelState() == AudioLibrary::kActivePlaying &&
           !player->playback().OpenPending();
  }

  // The least the process holds while lines play over the next `changes`
  // changes: what each format's decoder or a closing channel holds for a
  // moment is not counted, what is left behind for good is.
  ProcessFigures Resting(int changes) {
    ProcessFigures least{INT_MAX, INT_MAX, SIZE_MAX};
    // The doubles' own records of every change are dropped first, so that
    // only the program's heap counts.
    auto look = [&] {
      decltype(now_playing.announced)().swap(now_playing.announced);
      decltype(now_playing.told)().swap(now_playing.told);
      decltype(tray.balloons)().swap(tray.balloons);
      least.threads = std::min(least.threads, engine::test::ThreadCount());
      least.fds = std::min(least.fds, engine::test::OpenDescriptorCount());
      least.heap_bytes =
          std::min(least.heap_bytes, AllocationWatch::live_bytes());
    };
    EXPECT_TRUE(ChangesReach(changes_ + changes, look)) << changes_;
    return least;
  }

  static constexpr double kSeconds = 0.03;
  // A bound on a hang, not a speed: a change takes about 30 ms under ASan.
  static constexpr double kSecondsPerChangeBound = 0.15;
  int changes_ = 0;
  int last_index_ = -1;
};

TEST_F(LongRunTest,
       AThousandTrackChangesLeaveThreadsFdsAndHeapAsAfterAHundred) {
  StartShortFilesInRepeatAll();
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(ChangesReach(100)) << changes_ << " changes";
  // Each window sees every format open and close several times.
  constexpr int kWindow = 30;
  const ProcessFigures after_100 = Resting(kWindow);
  ASSERT_TRUE(ChangesReach(1000 - kWindow)) << changes_ << " changes";
  const ProcessFigures after_1000 = Resting(kWindow);
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  std::string figures = "threads " + std::to_string(after_100.threads) +
                        " -> " + std::to_string(after_1000.threads) + ", fds " +
                        std::to_string(after_100.fds) + " -> " +
                        std::to_string(after_1000.fds) + ", heap " +
                        std::to_string(after_100.heap_bytes) + " -> " +
                        std::to_string(after_1000.heap_bytes) + " bytes, " +
                        std::to_string(changes_) + " changes in " +
                        std::to_string(seconds) + " s";
  RecordProperty("figures", figures);
  std::printf("long run: %s\n", figures.c_str());
  EXPECT_EQ(after_1000.threads, after_100.threads) << figures;
  EXPECT_EQ(after_1000.fds, after_100.fds) << figures;
  if (AllocationWatch::available()) {
    EXPECT_LT(after_1000.heap_bytes,
              after_100.heap_bytes + kHeapGrowthBoundBytes)
        << figures;
  }
}

}  // namespace
}  // namespace kivo
