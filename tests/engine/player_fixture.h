#pragma once

// The player on the real engine: generated media, SDL's dummy output, the
// fakes for everything else, and a GUI loop the test pumps and watches.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/app/player.h"
#include "engine/engine.h"
#include "engine/media.h"
#include "fakes/fake_services.h"
#include "fakes/fake_window.h"
#include "fakes/manual_event_loop.h"
#include "fakes/temp_dir.h"

namespace kivo::engine::test {

// The manual loop; with `threaded` its workers run on threads of their own,
// as in the program, so that the GUI thread runs only what is posted to it.
class WorkerThreadLoop : public kivo::testing::ManualEventLoop {
 public:
  ~WorkerThreadLoop() override { JoinWorkers(); }
  void RunAsync(const std::string& thread_name, Task task) override {
    if (!threaded) return ManualEventLoop::RunAsync(thread_name, task);
    std::lock_guard lock(workers_mutex_);
    workers_.emplace_back(std::move(task));
  }
  void JoinWorkers() {
    std::vector<std::thread> workers;
    {
      std::lock_guard lock(workers_mutex_);
      workers.swap(workers_);
    }
    for (std::thread& worker : workers) worker.join();
  }

  bool threaded = false;

 private:
  std::mutex workers_mutex_;
  std::vector<std::thread> workers_;
};

class PlayerOnEngineTest : public ::testing::Test {
 protected:
  PlayerOnEngineTest() {
    dir.Write("settings.ini", "[settings]\r\nDonationMsg=0\r\n");
    Platform platform{audio,       loop,         window,         tray,
                      dialogs,     desktop,      http,           hotkeys,
                      now_playing, associations, search_windows, tag_window};
    player = std::make_unique<Player>(platform, dir.path());
  }
  ~PlayerOnEngineTest() override {
    loop.JoinWorkers();
    loop.Drain();
    player->Shutdown();
    player.reset();
  }

  std::string ThreeFilePlaylist() {
    std::string list;
    for (int n = 1; n <= 3; ++n) {
      std::string path = dir.File("tone" + std::to_string(n) + ".mp3");
      EXPECT_TRUE(
          engine::test::Tone(path, 300.0 * n, 0.5, 1.0, "-c:a libmp3lame"));
      list += path + "\r\n";
    }
    return dir.Write("three.kpp", list);
  }

  // Runs posted work until `done` holds or the time is up, and keeps the
  // longest time the GUI thread spent in one batch of posted work.
  // Also keeps, as a watchdog, the longest time the GUI thread was busy
  // between two ticks of this loop (what the test does between counts).
  bool PumpUntil(const std::function<bool()>& done, double seconds) {
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::duration<double>(seconds);
    Tick();
    while (std::chrono::steady_clock::now() < deadline) {
      auto start = std::chrono::steady_clock::now();
      loop.Drain();
      longest_drain =
          std::max(longest_drain, std::chrono::steady_clock::now() - start);
      bool finished = done();
      Tick();
      if (finished) return true;
      // The loop's own idle wait is no stall, however long the machine
      // takes to wake it.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      last_tick = std::chrono::steady_clock::now();
    }
    return false;
  }

  // One tick of the GUI loop: the gap since the last one counts.
  void Tick() {
    auto now = std::chrono::steady_clock::now();
    if (last_tick.time_since_epoch().count() != 0) {
      longest_gap = std::max(longest_gap, now - last_tick);
    }
    last_tick = now;
  }
  // The watchdog starts afresh (after work the test does not measure).
  void ResetWatchdog() {
    last_tick = {};
    longest_gap = {};
  }

  // The entries started, in order, while pumping for `seconds`.
  std::vector<int> PlayedFor(double seconds) {
    std::vector<int> played{model().playing_index};
    PumpUntil(
        [&] {
          if (model().playing_index != played.back()) {
            played.push_back(model().playing_index);
          }
          return false;
        },
        seconds);
    return played;
  }

  void StartWithMode(int mode) {
    dir.Write("settings.ini", "[settings]\r\nDonationMsg=0\r\nMode=" +
                                  std::to_string(mode) + "\r\n");
    ASSERT_TRUE(player->Startup({ThreeFilePlaylist()}, dir.path()));
  }

  const PlaylistModel& model() { return player->state().playlist; }
  int ChannelState() { return player->playback().ChannelState(); }

  kivo::testing::TempDir dir;
  engine::Engine audio;
  WorkerThreadLoop loop;
  kivo::testing::FakeMainWindow window;
  kivo::testing::FakeTray tray;
  kivo::testing::ScriptedDialogs dialogs;
  kivo::testing::FakeDesktopServices desktop;
  kivo::testing::FakeHttpClient http;
  kivo::testing::FakeHotkeys hotkeys;
  kivo::testing::FakeNowPlaying now_playing;
  kivo::testing::FakeAssociations associations;
  kivo::testing::FakeSearchWindows search_windows;
  kivo::testing::FakeTagWindow tag_window;
  std::unique_ptr<Player> player;
  std::chrono::steady_clock::duration longest_drain{};
  std::chrono::steady_clock::time_point last_tick{};
  std::chrono::steady_clock::duration longest_gap{};
};

}  // namespace kivo::engine::test
