// Sync callbacks against the calls that take them away. A caller that removes
// a sync or frees a channel may then drop whatever the callback uses (the
// player drops its controller at shutdown; a test its latch): from the moment
// such a call returns, that callback is neither running nor called again.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>

#include "engine/capture.h"
#include "engine/engine.h"
#include "engine/media.h"

namespace kivo::engine {
namespace {

using Handle = AudioLibrary::Handle;
using L = AudioLibrary;
using test::SyncLatch;

// Long enough for a removal to have returned at once had it not waited.
constexpr int kWaitForRemovalMs = 300;

// Holds the sync thread inside a callback until the test lets it go.
class Gate {
 public:
  void Open() { open_.Fire(1); }
  // Bounded, so that a broken engine fails the test rather than hangs it.
  void Pass() { open_.Wait(1, 5000); }

 private:
  SyncLatch open_;
};

class EngineSyncs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir();
    ASSERT_TRUE(
        test::Tone(dir_->File("short.wav"), 440, 0.5, 0.2, "-c:a pcm_s16le"));
  }
  static void TearDownTestSuite() {
    delete dir_;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void SetUp() override {
    // Unpaced output: the tone ends as soon as it is played.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    ASSERT_TRUE(engine_.Init(1, 44100, 0));
    channel_ = engine_.StreamCreateFile(dir_->File("short.wav"), 0, 0, 0);
    ASSERT_NE(channel_, 0u);
  }

  // An end sync that waits at `gate` and records that it returned.
  Handle HeldEndSync(Gate* gate, SyncLatch* entered,
                     std::atomic<bool>* returned) {
    return engine_.ChannelSetSync(channel_, L::kSyncEnd, 0,
                                  [=](Handle, Handle, uint32_t) {
                                    entered->Fire(1);
                                    gate->Pass();
                                    returned->store(true);
                                  });
  }
  Handle CountingEndSync(SyncLatch* calls) {
    return engine_.ChannelSetSync(
        channel_, L::kSyncEnd, 0,
        [calls](Handle, Handle, uint32_t) { calls->Fire(1); });
  }

  // Runs `removal` (given the held sync) on its own thread while the held
  // callback is running; true when the removal had seen that callback return.
  bool RemovalWaitsForTheCall(const std::function<void(Handle)>& removal) {
    Gate gate;
    SyncLatch entered;
    std::atomic<bool> returned{false};
    Handle held = HeldEndSync(&gate, &entered, &returned);
    EXPECT_TRUE(engine_.ChannelPlay(channel_, true));
    EXPECT_TRUE(entered.Wait());
    std::atomic<bool> removed{false};
    bool returned_before_removed = false;
    std::thread remover([&] {
      removal(held);
      returned_before_removed = returned.load();
      removed = true;
    });
    test::WaitUntil([&] { return removed.load(); }, kWaitForRemovalMs);
    gate.Open();
    remover.join();
    return returned_before_removed;
  }

  static test::TempDir* dir_;
  Engine engine_;
  Handle channel_ = 0;
};

test::TempDir* EngineSyncs::dir_ = nullptr;

TEST_F(EngineSyncs, ASyncRemovedWhileItsChannelEndsIsNotCalled) {
  Gate gate;
  SyncLatch entered;
  std::atomic<bool> returned{false};
  SyncLatch removed_calls;
  SyncLatch last_calls;
  HeldEndSync(&gate, &entered, &returned);
  Handle removed = CountingEndSync(&removed_calls);
  CountingEndSync(&last_calls);
  ASSERT_TRUE(engine_.ChannelPlay(channel_, true));
  // The end is being announced: the first callback runs, the others are due.
  ASSERT_TRUE(entered.Wait());
  EXPECT_TRUE(engine_.ChannelRemoveSync(channel_, removed));
  gate.Open();
  ASSERT_TRUE(last_calls.Wait());
  EXPECT_EQ(removed_calls.count(), 0);
}

TEST_F(EngineSyncs, RemovingASyncReturnsOnlyOnceItsCallHasReturned) {
  EXPECT_TRUE(RemovalWaitsForTheCall([this](Handle held) {
    EXPECT_TRUE(engine_.ChannelRemoveSync(channel_, held));
  }));
}

TEST_F(EngineSyncs, FreeingAChannelReturnsOnlyOnceItsCallHasReturned) {
  EXPECT_TRUE(RemovalWaitsForTheCall(
      [this](Handle) { EXPECT_TRUE(engine_.StreamFree(channel_)); }));
}

TEST_F(EngineSyncs, ACallbackMayRemoveItsSyncAndFreeItsChannel) {
  SyncLatch done;
  std::atomic<Handle> own_sync{0};
  own_sync = engine_.ChannelSetSync(channel_, L::kSyncEnd, 0,
                                    [&](Handle sync, Handle channel, uint32_t) {
                                      engine_.ChannelRemoveSync(channel, sync);
                                      engine_.StreamFree(channel);
                                      done.Fire(sync);
                                    });
  ASSERT_TRUE(engine_.ChannelPlay(channel_, true));
  ASSERT_TRUE(done.Wait());
  EXPECT_EQ(done.value(), own_sync.load());
  EXPECT_EQ(engine_.ChannelIsActive(channel_), L::kActiveStopped);
}

}  // namespace
}  // namespace kivo::engine
