#include "core/playlist/autosave_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "core/app/expand_argument.h"
#include "core/playlist/kpp_format.h"
#include "fakes/manual_event_loop.h"
#include "fakes/player_harness.h"
#include "fakes/temp_dir.h"

namespace kivo {
namespace {

using testing::ManualEventLoop;
using testing::PlayerHarness;
using testing::TempDir;

// A call the GUI thread makes must come back at once; this only bounds a
// hang, it measures nothing.
constexpr auto kHangBound = std::chrono::seconds(10);

// A disk that holds every write until the test lets it go, and remembers
// what was written and how many writes ever ran at the same time.
class SlowDisk {
 public:
  bool Write(const std::string&, std::string_view content) {
    std::unique_lock lock(mutex_);
    ++running_;
    most_at_once_ = std::max(most_at_once_, running_);
    changed_.notify_all();
    changed_.wait(lock, [&] { return open_; });
    written_.push_back(ParseKpp(std::string(content)));
    --running_;
    return true;
  }
  void WaitUntilWriting() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return running_ > 0; });
  }
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  std::vector<std::vector<std::string>> written() {
    std::lock_guard lock(mutex_);
    return written_;
  }
  int most_at_once() {
    std::lock_guard lock(mutex_);
    return most_at_once_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  int running_ = 0;
  int most_at_once_ = 0;
  std::vector<std::vector<std::string>> written_;
};

struct WriterHarness {
  WriterHarness()
      : settings(dir.File("settings.ini")),
        writer(loop, settings, dir.File("temp.tmp"),
               [this](const std::string& path, std::string_view content) {
                 return disk.Write(path, content);
               }) {}
  // The worker the writer asked for, on a thread of its own as in the program.
  std::thread StartWorker() {
    return std::thread([this] { loop.RunNextWorker(); });
  }
  std::string LastPlayed() {
    return settings.ReadSettingText("settings", "LastPlayed", "");
  }

  TempDir dir;
  ManualEventLoop loop;
  SettingsStore settings;
  SlowDisk disk;
  AutosaveWriter writer;
};

const std::vector<std::string> kFirst = {"/music/a.mp3"};
const std::vector<std::string> kSecond = {"/music/a.mp3", "/music/b.mp3"};
const std::vector<std::string> kThird = {"/music/a.mp3", "/music/b.mp3",
                                         "/music/c.mp3"};

TEST(AutosaveWriterTest, TheGuiThreadNeverWaitsForTheDiskAndTheNewestWins) {
  WriterHarness h;
  h.writer.Request(LocationList(kFirst));
  std::thread worker = h.StartWorker();
  h.disk.WaitUntilWriting();
  auto requests = std::async(std::launch::async, [&] {
    h.writer.Request(LocationList(kSecond));
    h.writer.Request(LocationList(kThird));
  });
  const bool returned =
      requests.wait_for(kHangBound) == std::future_status::ready;
  h.disk.Open();
  worker.join();
  ASSERT_TRUE(returned) << "a request waited for the write in progress";
  // The list in between was replaced before its turn came.
  EXPECT_EQ(h.disk.written(),
            (std::vector<std::vector<std::string>>{kFirst, kThird}));
  EXPECT_EQ(h.disk.most_at_once(), 1);
  EXPECT_EQ(h.loop.waiting_workers(), 0u);
  h.loop.RunPosted();
  EXPECT_EQ(h.LastPlayed(), h.writer.path());
}

TEST(AutosaveWriterTest, FlushFinishesTheRunningWriteThenWritesTheWaitingOne) {
  WriterHarness h;
  h.writer.Request(LocationList(kFirst));
  std::thread worker = h.StartWorker();
  h.disk.WaitUntilWriting();
  h.writer.Request(LocationList(kSecond));
  auto flushed = std::async(std::launch::async, [&] { h.writer.Flush(); });
  h.disk.Open();
  const bool returned =
      flushed.wait_for(kHangBound) == std::future_status::ready;
  worker.join();
  ASSERT_TRUE(returned);
  EXPECT_EQ(h.disk.written(),
            (std::vector<std::vector<std::string>>{kFirst, kSecond}));
  EXPECT_EQ(h.disk.most_at_once(), 1);
  // Flush names the file itself: no loop runs after it at the end.
  EXPECT_EQ(h.LastPlayed(), h.writer.path());
}

TEST(AutosaveWriterTest,
     LastPlayedChangedMeanwhileIsKeptAndAFailureNamesNothing) {
  WriterHarness h;
  h.disk.Open();
  h.writer.Request(LocationList(kFirst));
  h.loop.RunNextWorker();
  // A playlist loaded before the written notice reaches the GUI thread.
  h.settings.WriteText("settings", "LastPlayed", "/music/loaded.m3u");
  h.loop.RunPosted();
  EXPECT_EQ(h.LastPlayed(), "/music/loaded.m3u");

  h.writer.Request(LocationList(kSecond));
  h.loop.RunNextWorker();
  h.loop.RunPosted();
  EXPECT_EQ(h.LastPlayed(), h.writer.path());

  h.settings.WriteText("settings", "LastPlayed", "/music/loaded.m3u");
  AutosaveWriter failing(
      h.loop, h.settings, h.dir.File("temp.tmp"),
      [](const std::string&, std::string_view) { return false; });
  failing.Request(LocationList(kThird));
  failing.Flush();
  h.loop.Drain();
  EXPECT_EQ(h.LastPlayed(), "/music/loaded.m3u");
}

// What the player autosaved but had not written yet when the window closed
// or the session ended is on disk before the program goes.
TEST(AutosaveWriterTest, ThePlayerWritesWhatIsWaitingWhenItEnds) {
  for (bool session_end : {false, true}) {
    PlayerHarness h;
    std::string a = h.AddFile("a.mp3");
    ASSERT_TRUE(h.Start());
    h.player->HandOffReceived(BuildHandOffText({a}, h.dir.path()));
    h.loop.RunPosted();
    ASSERT_EQ(h.dir.Read("temp.tmp"), "") << "written on the GUI thread";
    if (session_end) {
      h.player->EndSession();
    } else {
      ASSERT_TRUE(h.player->CloseRequest());
      h.player->Shutdown();
    }
    EXPECT_EQ(ParseKpp(h.dir.Read("temp.tmp")), std::vector<std::string>{a});
    EXPECT_EQ(h.Setting("settings", "LastPlayed"), h.dir.File("temp.tmp"));
  }
}

// A second start returns once its files are in the autosave, so a crash
// right after it loses nothing it was told was taken.
TEST(AutosaveWriterTest, AHandOffIsAnsweredOnceItsFilesAreOnDisk) {
  PlayerHarness h;
  std::string a = h.AddFile("a.mp3");
  ASSERT_TRUE(h.Start());
  bool released = false;
  h.player->WhenHandOffStored([&] { released = true; });
  EXPECT_TRUE(released) << "nothing to store: answered at once";

  released = false;
  h.player->HandOffReceived(BuildHandOffText({a}, h.dir.path()));
  h.player->WhenHandOffStored([&] { released = true; });
  h.loop.RunPosted();
  EXPECT_FALSE(released);
  h.loop.Drain();
  EXPECT_TRUE(released);
  EXPECT_EQ(ParseKpp(h.dir.Read("temp.tmp")), std::vector<std::string>{a});
}

}  // namespace
}  // namespace kivo
