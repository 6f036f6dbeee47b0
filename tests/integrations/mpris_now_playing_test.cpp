#include "desktop/integrations/mpris_now_playing.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QObject>
#include <memory>
#include <set>

#include "integrations/qt_test_support.h"
#include "integrations/recording_shell_events.h"
#include "integrations/spawned_process.h"

namespace kivo::desktop {
namespace {

using kivo::testing::ProgramExists;
using kivo::testing::RecordingShellEvents;
using kivo::testing::RunProgram;
using kivo::testing::SpawnedProcess;
using kivo::testing::WaitUntil;

// Collects the PropertiesChanged signals another client of the bus sees.
class PropertiesRecorder : public QObject {
  Q_OBJECT

 public:
  std::vector<QVariantMap> batches;

 public Q_SLOTS:
  void Changed(const QString& interface_name, const QVariantMap& changed,
               const QStringList&) {
    if (interface_name == QStringLiteral("org.mpris.MediaPlayer2.Player")) {
      batches.push_back(changed);
    }
  }
};

std::set<QString> Keys(const QVariantMap& map) {
  const QStringList keys = map.keys();
  return {keys.begin(), keys.end()};
}

class MprisNowPlayingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "mpris-test";
    static char* argv[] = {name, nullptr};
    app_ = new QCoreApplication(argc, argv);
    if (!ProgramExists("dbus-daemon")) return;
    daemon_ = new SpawnedProcess({"dbus-daemon", "--session", "--nofork",
                                  "--nopidfile", "--address=unix:tmpdir=/tmp",
                                  "--print-address=1"});
    address_ = QString::fromStdString(daemon_->ReadLine(10000));
  }
  static void TearDownTestSuite() {
    delete daemon_;
    delete app_;
  }

  void SetUp() override {
    if (address_.isEmpty()) GTEST_SKIP() << "no dbus-daemon";
    events_.status.can_play = true;  // a player with a playlist
    bus_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(address_, QStringLiteral("player")));
    now_playing_ = std::make_unique<MprisNowPlaying>(&events_, *bus_);
    ASSERT_TRUE(now_playing_->published());
  }
  void TearDown() override {
    now_playing_.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("player"));
  }

  static QProcessEnvironment BusEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    return environment;
  }
  static std::string Playerctl(const QStringList& arguments) {
    if (!ProgramExists("playerctl")) return "(no playerctl)";
    return RunProgram(
        QStringList{QStringLiteral("playerctl"), QStringLiteral("-p"),
                    QStringLiteral("kivoplayer")} +
            arguments,
        BusEnvironment());
  }
  static std::string CallRoot(const QString& member) {
    return RunProgram({QStringLiteral("gdbus"), QStringLiteral("call"),
                       QStringLiteral("--session"), QStringLiteral("--dest"),
                       QStringLiteral("org.mpris.MediaPlayer2.kivoplayer"),
                       QStringLiteral("--object-path"),
                       QStringLiteral("/org/mpris/MediaPlayer2"),
                       QStringLiteral("--method"), member},
                      BusEnvironment());
  }
  static std::string RootProperty(const QString& name) {
    return RunProgram(
        {QStringLiteral("gdbus"), QStringLiteral("call"),
         QStringLiteral("--session"), QStringLiteral("--dest"),
         QStringLiteral("org.mpris.MediaPlayer2.kivoplayer"),
         QStringLiteral("--object-path"),
         QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("--method"),
         QStringLiteral("org.freedesktop.DBus.Properties.Get"),
         QStringLiteral("org.mpris.MediaPlayer2"), name},
        BusEnvironment());
  }

  static QCoreApplication* app_;
  static SpawnedProcess* daemon_;
  static QString address_;
  RecordingShellEvents events_;
  std::unique_ptr<QDBusConnection> bus_;
  std::unique_ptr<MprisNowPlaying> now_playing_;
};

QCoreApplication* MprisNowPlayingTest::app_ = nullptr;
SpawnedProcess* MprisNowPlayingTest::daemon_ = nullptr;
QString MprisNowPlayingTest::address_;

TEST_F(MprisNowPlayingTest, PublishesIdentityAndTheAnnouncedTitle) {
  EXPECT_EQ(RootProperty(QStringLiteral("Identity")), "(<'Kivo Player'>,)");
  EXPECT_EQ(RootProperty(QStringLiteral("DesktopEntry")), "(<'kivo-player'>,)");
  EXPECT_EQ(RootProperty(QStringLiteral("CanRaise")), "(<true>,)");
  EXPECT_EQ(RootProperty(QStringLiteral("HasTrackList")), "(<false>,)");

  events_.status.length_seconds = 200;
  now_playing_->Announce("Artist - Song");
  EXPECT_EQ(Playerctl({QStringLiteral("metadata"), QStringLiteral("title")}),
            "Artist - Song");
  EXPECT_EQ(
      Playerctl({QStringLiteral("metadata"), QStringLiteral("mpris:length")}),
      "200000000");

  now_playing_->Announce("Caf\xe9 Radio");  // Latin-1 from a stream
  EXPECT_EQ(Playerctl({QStringLiteral("metadata"), QStringLiteral("title")}),
            "Caf\xc3\xa9 Radio");

  now_playing_->Announce("");
  EXPECT_EQ(
      Playerctl({QStringLiteral("metadata"), QStringLiteral("mpris:trackid")}),
      "'/org/mpris/MediaPlayer2/TrackList/NoTrack'");
  EXPECT_EQ(Playerctl({QStringLiteral("metadata"), QStringLiteral("title")}),
            "");
}

TEST_F(MprisNowPlayingTest, MethodCallsBecomeThePlayersCommands) {
  // playerctl asks CanGoNext and CanGoPrevious before it calls.
  events_.status.can_go_next = true;
  events_.status.can_go_previous = true;
  for (const char* command :
       {"play-pause", "play", "pause", "stop", "next", "previous"}) {
    Playerctl({QString::fromLatin1(command)});
  }
  CallRoot(QStringLiteral("org.mpris.MediaPlayer2.Raise"));
  CallRoot(QStringLiteral("org.mpris.MediaPlayer2.Quit"));
  EXPECT_EQ(events_.commands, (std::vector<MediaCommand>{
                                  MediaCommand::kPlayPause, MediaCommand::kPlay,
                                  MediaCommand::kPause, MediaCommand::kStop,
                                  MediaCommand::kNext, MediaCommand::kPrevious,
                                  MediaCommand::kRaise, MediaCommand::kQuit}));
}

TEST_F(MprisNowPlayingTest, StatusAndVolumeFollowTheCore) {
  events_.status.channel_state = 3;
  EXPECT_EQ(Playerctl({QStringLiteral("status")}), "Paused");
  events_.status.channel_state = 2;
  EXPECT_EQ(Playerctl({QStringLiteral("status")}), "Playing");
  events_.status.channel_state = 0;
  EXPECT_EQ(Playerctl({QStringLiteral("status")}), "Stopped");

  events_.status.volume_0_10000 = 5000;
  EXPECT_EQ(Playerctl({QStringLiteral("volume")}), "0.500000");
  Playerctl({QStringLiteral("volume"), QStringLiteral("0.25")});
  Playerctl({QStringLiteral("volume"), QStringLiteral("7")});
  EXPECT_EQ(events_.volumes, (std::vector<int>{2500, 10000}));
}

TEST_F(MprisNowPlayingTest, SeekingStaysWithinTheTrack) {
  events_.status.channel_state = 1;
  events_.status.position_seconds = 10;
  events_.status.length_seconds = 200;
  events_.status.can_seek = true;
  now_playing_->Announce("Song");
  Playerctl({QStringLiteral("position"), QStringLiteral("30")});
  Playerctl({QStringLiteral("position"), QStringLiteral("5+")});
  EXPECT_EQ(events_.seeks, (std::vector<double>{30, 15}));

  events_.status.position_seconds = 198;
  Playerctl({QStringLiteral("position"), QStringLiteral("5+")});
  EXPECT_EQ(events_.commands, std::vector<MediaCommand>{MediaCommand::kNext});

  events_.status.can_seek = false;  // a stream
  Playerctl({QStringLiteral("position"), QStringLiteral("50")});
  Playerctl({QStringLiteral("position"), QStringLiteral("5-")});
  EXPECT_EQ(events_.seeks.size(), 2u);
}

TEST_F(MprisNowPlayingTest, PropertiesChangedCarriesOnlyWhatChanged) {
  QDBusConnection watcher =
      QDBusConnection::connectToBus(address_, QStringLiteral("watcher"));
  PropertiesRecorder recorder;
  ASSERT_TRUE(
      watcher.connect(QStringLiteral("org.mpris.MediaPlayer2.kivoplayer"),
                      QStringLiteral("/org/mpris/MediaPlayer2"),
                      QStringLiteral("org.freedesktop.DBus.Properties"),
                      QStringLiteral("PropertiesChanged"), &recorder,
                      SLOT(Changed(QString, QVariantMap, QStringList))));

  now_playing_->Announce("One");
  ASSERT_TRUE(WaitUntil([&] { return recorder.batches.size() == 1; }));
  EXPECT_EQ(Keys(recorder.batches[0]),
            std::set<QString>{QStringLiteral("Metadata")});
  const auto metadata =
      qdbus_cast<QVariantMap>(recorder.batches[0]
                                  .value(QStringLiteral("Metadata"))
                                  .value<QDBusArgument>());
  EXPECT_EQ(metadata.value(QStringLiteral("xesam:title")).toString(),
            QStringLiteral("One"));

  events_.status.channel_state = 3;
  now_playing_->StatusChanged();
  now_playing_->StatusChanged();  // nothing new: no signal
  events_.status.volume_0_10000 = 1500;
  events_.status.can_go_next = true;
  now_playing_->StatusChanged();
  ASSERT_TRUE(WaitUntil([&] { return recorder.batches.size() >= 3; }));
  EXPECT_EQ(Keys(recorder.batches[1]),
            std::set<QString>{QStringLiteral("PlaybackStatus")});
  EXPECT_EQ(Keys(recorder.batches[2]),
            (std::set<QString>{QStringLiteral("Volume"),
                               QStringLiteral("CanGoNext")}));
  now_playing_->Announce("One");  // the same title again changes nothing
  now_playing_->Announce("Two");
  ASSERT_TRUE(WaitUntil([&] { return recorder.batches.size() >= 4; }));
  EXPECT_EQ(recorder.batches.size(), 4u);
  QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
}

// Collects the Seeked signals another client of the bus sees.
class SeekedRecorder : public QObject {
  Q_OBJECT

 public:
  std::vector<qlonglong> positions_us;

 public Q_SLOTS:
  void Seeked(qlonglong position_us) { positions_us.push_back(position_us); }
};

TEST_F(MprisNowPlayingTest, SeekedCarriesThePositionAndCanPlayFollowsTheCore) {
  QDBusConnection watcher =
      QDBusConnection::connectToBus(address_, QStringLiteral("seek-watcher"));
  SeekedRecorder recorder;
  ASSERT_TRUE(watcher.connect(
      QStringLiteral("org.mpris.MediaPlayer2.kivoplayer"),
      QStringLiteral("/org/mpris/MediaPlayer2"),
      QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("Seeked"),
      &recorder, SLOT(Seeked(qlonglong))));
  events_.status.position_seconds = 42.5;
  now_playing_->Seeked();
  ASSERT_TRUE(WaitUntil([&] { return !recorder.positions_us.empty(); }));
  EXPECT_EQ(recorder.positions_us, std::vector<qlonglong>{42500000});
  QDBusConnection::disconnectFromBus(QStringLiteral("seek-watcher"));

  events_.status.can_play = false;
  EXPECT_EQ(RunProgram({QStringLiteral("gdbus"), QStringLiteral("call"),
                        QStringLiteral("--session"), QStringLiteral("--dest"),
                        QStringLiteral("org.mpris.MediaPlayer2.kivoplayer"),
                        QStringLiteral("--object-path"),
                        QStringLiteral("/org/mpris/MediaPlayer2"),
                        QStringLiteral("--method"),
                        QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                        QStringLiteral("org.mpris.MediaPlayer2.Player"),
                        QStringLiteral("CanPlay")},
                       BusEnvironment()),
            "(<false>,)");
}

TEST_F(MprisNowPlayingTest, SecondInstanceTakesAnInstanceName) {
  QDBusConnection other =
      QDBusConnection::connectToBus(address_, QStringLiteral("other"));
  {
    MprisNowPlaying second(&events_, other);
    EXPECT_TRUE(second.published());
    if (ProgramExists("playerctl")) {
      const std::string players =
          RunProgram({QStringLiteral("playerctl"), QStringLiteral("-l")},
                     BusEnvironment());
      EXPECT_NE(players.find("kivoplayer.instance"), std::string::npos)
          << players;
    }
  }
  QDBusConnection::disconnectFromBus(QStringLiteral("other"));
}

TEST(MprisWithoutBusTest, NothingIsPublishedAndNothingFails) {
  static int argc = 1;
  static char name[] = "mpris-test";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  RecordingShellEvents events;
  MprisNowPlaying now_playing(
      &events, QDBusConnection::connectToBus(
                   QStringLiteral("unix:path=/nonexistent/kivo-bus"),
                   QStringLiteral("nowhere")));
  EXPECT_FALSE(now_playing.published());
  now_playing.Announce("Title");
  now_playing.StatusChanged();
  now_playing.SetShellEvents(nullptr);
  now_playing.StatusChanged();
  EXPECT_TRUE(events.commands.empty());
}

}  // namespace
}  // namespace kivo::desktop

#include "mpris_now_playing_test.moc"
