#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "desktop/shell/unix_instance_link.h"

namespace kivo::desktop {
namespace {

// A plain socket bound at path (its folder created), -1 on failure.
int BoundSocket(const std::string& path) {
  mkdir(path.substr(0, path.rfind('/')).c_str(), 0700);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

class InstanceLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.isValid());
    setenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit().constData(), 1);
  }

  // Hands text off from a second thread while this one serves the loop.
  bool HandOffServed(UnixInstanceLink* sender, const std::string& text) {
    std::atomic<bool> finished{false};
    bool result = false;
    std::thread second_instance([&] {
      result = sender->HandOff(text);
      finished = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (finished) loop.quit();
    });
    poll.start(1);
    loop.exec();
    second_instance.join();
    return result;
  }

  QTemporaryDir runtime_;
};

TEST_F(InstanceLinkTest, SocketLivesInAnOwnerOnlyFolderPerProgramFolder) {
  const std::string a = InstanceSocketPath("/opt/kivo/");
  EXPECT_EQ(a.rfind(runtime_.path().toStdString() + "/kivo-player/", 0), 0u);
  EXPECT_NE(a, InstanceSocketPath("/home/u/.config/kivo-player/"));
  UnixInstanceLink link("/opt/kivo/");
  ASSERT_TRUE(link.Listen([](const std::string&) {}));
  struct stat folder {};
  ASSERT_EQ(stat((runtime_.path() + QStringLiteral("/kivo-player"))
                     .toLocal8Bit()
                     .constData(),
                 &folder),
            0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
}

TEST_F(InstanceLinkTest, NobodyListeningMeansNoHandOff) {
  UnixInstanceLink link("/opt/kivo/");
  EXPECT_FALSE(link.HandOff("/music/a.mp3|"));
}

TEST_F(InstanceLinkTest, OnlyOneInstanceListens) {
  UnixInstanceLink first("/opt/kivo/");
  UnixInstanceLink second("/opt/kivo/");
  UnixInstanceLink other_folder("/srv/kivo/");
  EXPECT_TRUE(first.Listen([](const std::string&) {}));
  EXPECT_FALSE(second.Listen([](const std::string&) {}));
  EXPECT_TRUE(other_folder.Listen([](const std::string&) {}));
}

TEST_F(InstanceLinkTest, AMegabyteArrivesWholeAndTheSenderWaitsForTheHandler) {
  UnixInstanceLink running("/opt/kivo/");
  UnixInstanceLink starting("/opt/kivo/");
  std::string received;
  std::atomic<bool> handled{false};
  ASSERT_TRUE(running.Listen([&](const std::string& text) {
    received = text;
    handled = true;
  }));
  std::string text;
  for (int i = 0; text.size() < 1024 * 1024; ++i) {
    text += "/music/track " + std::to_string(i) + ".mp3|";
  }
  EXPECT_TRUE(HandOffServed(&starting, text));
  EXPECT_TRUE(handled);
  EXPECT_EQ(received, text);
  // An empty hand-off (a start without arguments) is delivered too.
  EXPECT_TRUE(HandOffServed(&starting, ""));
  EXPECT_EQ(received, "");
}

TEST_F(InstanceLinkTest, AStaleSocketFileIsTakenOver) {
  UnixInstanceLink link("/opt/kivo/");
  // What a crashed instance leaves: a bound socket file nobody listens on.
  const int fd = BoundSocket(link.socket_path());
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_FALSE(link.HandOff("x|"));
  std::string received;
  EXPECT_TRUE(link.Listen([&](const std::string& text) { received = text; }));
  UnixInstanceLink starting("/opt/kivo/");
  EXPECT_TRUE(HandOffServed(&starting, "/music/b.mp3|"));
  EXPECT_EQ(received, "/music/b.mp3|");
}

TEST_F(InstanceLinkTest, ABusyInstanceIsWaitedForAndTakesTheTextOnce) {
  UnixInstanceLink running("/opt/kivo/");
  UnixInstanceLink starting("/opt/kivo/");
  int deliveries = 0;
  ASSERT_TRUE(running.Listen([&](const std::string&) { ++deliveries; }));
  ::testing::internal::CaptureStderr();
  std::atomic<int> result{-1};
  std::thread second_instance(
      [&] { result = starting.HandOff("/music/a.mp3") ? 1 : 0; });
  // The running instance's loop is busy with something else for a while.
  std::this_thread::sleep_for(std::chrono::milliseconds(4500));
  EXPECT_EQ(result, -1) << "the second start must keep waiting";
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (result != -1) loop.quit();
  });
  poll.start(1);
  loop.exec();
  second_instance.join();
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(deliveries, 1);
  EXPECT_NE(said.find("waiting for the running Kivo Player"), std::string::npos)
      << said;
}

// The running instance may answer later, once what the text changed is
// stored: until then the second start keeps waiting.
TEST_F(InstanceLinkTest, TheSenderIsAnsweredWhenTheReceiverReleasesIt) {
  UnixInstanceLink running("/opt/kivo/");
  UnixInstanceLink starting("/opt/kivo/");
  std::string received;
  InstanceLink::Release release;
  ASSERT_TRUE(running.Listen(
      [&](const std::string& text) { received = text; },
      [&](InstanceLink::Release later) { release = std::move(later); }));
  std::atomic<int> result{-1};
  std::thread second_instance(
      [&] { result = starting.HandOff("/music/a.mp3") ? 1 : 0; });
  QEventLoop loop;
  QTimer poll;
  int polls_after_delivery = 0;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    // Some turns of the loop after the delivery, then the release.
    if (release && ++polls_after_delivery == 50) {
      EXPECT_EQ(result, -1) << "answered before the release";
      release();
    }
    if (result != -1) loop.quit();
  });
  poll.start(1);
  loop.exec();
  second_instance.join();
  EXPECT_EQ(received, "/music/a.mp3");
  EXPECT_EQ(result, 1);
}

TEST_F(InstanceLinkTest, AnInstanceThatEndsWithoutAnAnswerTookNothing) {
  UnixInstanceLink starting("/opt/kivo/");
  const int listener = BoundSocket(starting.socket_path());
  ASSERT_GE(listener, 0);
  ASSERT_EQ(listen(listener, 4), 0);
  // It reads the hand-off and ends before answering.
  std::thread dying([&] {
    const int fd = accept(listener, nullptr, nullptr);
    char buffer[256];
    recv(fd, buffer, sizeof(buffer), 0);
    close(fd);
  });
  EXPECT_FALSE(starting.HandOff("/music/a.mp3"));
  dying.join();
  close(listener);
}

}  // namespace
}  // namespace kivo::desktop
