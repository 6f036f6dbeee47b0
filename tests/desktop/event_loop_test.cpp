#include <gtest/gtest.h>
#include <pthread.h>

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <thread>
#include <vector>

#include "desktop/shell/qt_event_loop.h"

namespace kivo::desktop {
namespace {

// Runs the Qt loop until done() holds, at most a generous bound so a broken
// loop fails the test instead of hanging it.
template <typename Done>
void RunUntil(Done done) {
  QEventLoop loop;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
  guard.start(20000);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  poll.start(1);
  if (!done()) loop.exec();
}

TEST(EventLoopTest, PostsFromManyThreadsArriveInOrderPerThread) {
  QtEventLoop event_loop;
  constexpr int kThreads = 4;
  constexpr int kPerThread = 500;
  std::vector<std::pair<int, int>> arrived;  // GUI thread only
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&event_loop, &arrived, t] {
      for (int i = 0; i < kPerThread; ++i) {
        event_loop.Post([&arrived, t, i] { arrived.emplace_back(t, i); });
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_TRUE(arrived.empty());  // nothing runs outside the GUI loop
  RunUntil([&] { return arrived.size() == kThreads * kPerThread; });
  ASSERT_EQ(arrived.size(), static_cast<size_t>(kThreads * kPerThread));
  std::vector<int> next(kThreads, 0);
  for (const auto& [thread, index] : arrived) {
    EXPECT_EQ(index, next[thread]) << "thread " << thread;
    next[thread] = index + 1;
  }
}

TEST(EventLoopTest, NamedTimersStartStopAndTick) {
  QtEventLoop event_loop;
  int ticks = 0;
  event_loop.AddTimer("VisTime", 1, [&] {
    if (++ticks == 3) event_loop.SetTimerEnabled("VisTime", false);
  });
  EXPECT_FALSE(event_loop.TimerEnabled("VisTime"));
  event_loop.SetTimerEnabled("VisTime", true);
  EXPECT_TRUE(event_loop.TimerEnabled("VisTime"));
  RunUntil([&] { return !event_loop.TimerEnabled("VisTime"); });
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(event_loop.TimerEnabled("Unknown"));
  event_loop.SetTimerEnabled("Unknown", true);
  EXPECT_FALSE(event_loop.TimerEnabled("Unknown"));
}

// A timer that only draws rests while the window is hidden in the tray or
// minimized, and brings the window up to date at once when it is back; other
// timers go on.
TEST(EventLoopTest, DrawOnlyTimersRestWhileNoWindowIsOnScreen) {
  QtEventLoop event_loop;
  QWidget window;
  window.show();
  // What Qt shows as the tray icon on X11: a window the window manager
  // leaves alone, on screen all the time; it is no window to draw on.
  QWidget tray_icon(nullptr, Qt::Window | Qt::FramelessWindowHint |
                                 Qt::BypassWindowManagerHint);
  tray_icon.show();
  int draws = 0;
  int others = 0;
  event_loop.AddTimer("Time", 1, [&] { ++draws; });
  event_loop.AddTimer("Other", 1, [&] { ++others; });
  event_loop.SetTimerDrawsOnly("Time");
  event_loop.SetTimerEnabled("Time", true);
  event_loop.SetTimerEnabled("Other", true);
  RunUntil([&] { return draws >= 3; });

  for (bool minimize : {false, true}) {
    if (minimize) {
      window.showMinimized();
    } else {
      window.hide();
    }
    const int draws_hidden = draws;
    const int others_hidden = others;
    RunUntil([&] { return others >= others_hidden + 20; });
    EXPECT_EQ(draws, draws_hidden) << "minimized " << minimize;
    EXPECT_TRUE(event_loop.TimerEnabled("Time"));
    window.showNormal();
    EXPECT_EQ(draws, draws_hidden + 1) << "minimized " << minimize;
    RunUntil([&] { return draws >= draws_hidden + 3; });
    EXPECT_GE(draws, draws_hidden + 3);
  }
}

// A tick may put the next one off (or bring it forward); the one after keeps
// the timer's own pace again.
TEST(EventLoopTest, ATickMayMoveTheNextOneOnly) {
  QtEventLoop event_loop;
  int ticks = 0;
  event_loop.AddTimer("Time", 60000, [&] {
    if (++ticks == 1) event_loop.SetTimerNextTick("Time", 1);
  });
  event_loop.SetTimerEnabled("Time", true);
  event_loop.SetTimerNextTick("Time", 0);
  RunUntil([&] { return ticks >= 2; });
  EXPECT_EQ(ticks, 2);
  // Back at a minute a tick: nothing more within a short while.
  QTimer done;
  done.setSingleShot(true);
  done.start(300);
  RunUntil([&] { return !done.isActive() || ticks > 2; });
  EXPECT_EQ(ticks, 2);
  // A stopped timer stays stopped.
  event_loop.SetTimerEnabled("Time", false);
  event_loop.SetTimerNextTick("Time", 0);
  EXPECT_FALSE(event_loop.TimerEnabled("Time"));
  done.start(50);
  RunUntil([&] { return !done.isActive(); });
  EXPECT_EQ(ticks, 2);
}

TEST(EventLoopTest, WorkersAreNamedAndCounted) {
  QtEventLoop event_loop;
  std::string name_seen;
  event_loop.RunAsync("kivo-open-with-a-long-name", [&] {
    char name[32] = {};
    pthread_getname_np(pthread_self(), name, sizeof(name));
    const std::string seen = name;
    event_loop.Post([&name_seen, seen] { name_seen = seen; });
  });
  EXPECT_TRUE(event_loop.WaitForWorkers(20000));
  EXPECT_EQ(event_loop.RunningWorkers(), 0);
  RunUntil([&] { return !name_seen.empty(); });
  EXPECT_EQ(name_seen, "kivo-open-with-");
}

TEST(EventLoopTest, QuitEndsTheLoopWithItsCode) {
  QtEventLoop event_loop;
  event_loop.Post([&] { event_loop.Quit(3); });
  EXPECT_EQ(event_loop.Exec(), 3);
  // A quit before the loop runs ends it at once.
  QtEventLoop early;
  early.Quit(7);
  EXPECT_EQ(early.Exec(), 7);
}

}  // namespace
}  // namespace kivo::desktop
