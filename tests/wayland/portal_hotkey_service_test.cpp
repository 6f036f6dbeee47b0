#include "desktop/integrations/portal_hotkey_service.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <memory>
#include <string>

#include "desktop/integrations/portal_shortcut.h"
#include "integrations/qt_test_support.h"
#include "integrations/recording_shell_events.h"
#include "integrations/spawned_process.h"

namespace kivo::desktop {
namespace {

using kivo::testing::ProgramExists;
using kivo::testing::RecordingShellEvents;
using kivo::testing::SpawnedProcess;
using kivo::testing::WaitUntil;

constexpr char kDebianPython[] = "/usr/bin/python3";

TEST(PortalTriggerTest, WritesModifiersThenTheKeysXkbName) {
  EXPECT_EQ(PortalTrigger(kModControl, 'X'), QStringLiteral("CTRL+x"));
  EXPECT_EQ(PortalTrigger(kModControl, 107), QStringLiteral("CTRL+KP_Add"));
  EXPECT_EQ(PortalTrigger(0, 'S'), QStringLiteral("s"));
  EXPECT_EQ(PortalTrigger(kModAlt | kModShift | kModWin, 0x78),
            QStringLiteral("ALT+SHIFT+LOGO+F9"));
  EXPECT_TRUE(PortalTrigger(kModControl, 0xFF).isEmpty()) << "no such key";
}

// A private session bus per test; the fake portal on it when asked for.
class PortalHotkeyServiceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "portal-test";
    static char* argv[] = {name, nullptr};
    app_ = new QCoreApplication(argc, argv);
  }
  static void TearDownTestSuite() { delete app_; }

  void SetUp() override {
    if (!ProgramExists("dbus-daemon") || !ProgramExists(kDebianPython)) {
      GTEST_SKIP() << "no dbus-daemon or python3";
    }
    daemon_ = std::make_unique<SpawnedProcess>(std::vector<std::string>{
        "dbus-daemon", "--session", "--nofork", "--nopidfile",
        "--address=unix:tmpdir=/tmp", "--print-address=1"});
    address_ = daemon_->ReadLine(10000);
    ASSERT_FALSE(address_.empty());
    bus_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
        QString::fromStdString(address_), QStringLiteral("player")));
  }
  void TearDown() override {
    service_.reset();
    bus_.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("player"));
    portal_.reset();
    daemon_.reset();
  }

  // option: none, "--refuse-bind" or "--bind-once".
  void StartPortal(const std::string& option = "") {
    std::vector<std::string> command = {
        "env",         "DBUS_SESSION_BUS_ADDRESS=" + address_,
        kDebianPython, KIVO_FAKE_PORTAL,
        "--seconds",   "60"};
    if (!option.empty()) command.push_back(option);
    portal_ = std::make_unique<SpawnedProcess>(command);
    ASSERT_EQ(portal_->ReadLine(10000), "ready");
  }
  void MakeService() {
    service_ = std::make_unique<PortalHotkeyService>(&events_, *bus_);
  }
  // The portal's next report, while this side's event loop keeps serving.
  std::string NextReport() {
    std::string line;
    WaitUntil([&] {
      if (line.empty()) line = portal_->ReadLine(10);
      return !line.empty();
    });
    return line;
  }
  // Presses a shortcut at the portal, from another client of the bus.
  void Press(const QString& shortcut_id) {
    QDBusConnection tester = QDBusConnection::connectToBus(
        QString::fromStdString(address_), QStringLiteral("tester"));
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/kivo/test"),
        QStringLiteral("org.kivo.test.FakePortal"), QStringLiteral("Activate"));
    call << shortcut_id;
    tester.call(call, QDBus::Block, 5000);
    QDBusConnection::disconnectFromBus(QStringLiteral("tester"));
  }
  void RegisterDefaults() {
    const char* names[] = {"Play", "Stop", "Search"};
    const int keys[] = {'X', 'V', 'S'};
    for (int i = 0; i < 3; ++i) {
      service_->Describe(i + 1, names[i]);
      ASSERT_TRUE(service_->Register(i + 1, kModControl, keys[i]));
    }
  }

  static QCoreApplication* app_;
  std::unique_ptr<SpawnedProcess> daemon_;
  std::unique_ptr<SpawnedProcess> portal_;
  std::string address_;
  std::unique_ptr<QDBusConnection> bus_;
  RecordingShellEvents events_;
  std::unique_ptr<PortalHotkeyService> service_;
};

QCoreApplication* PortalHotkeyServiceTest::app_ = nullptr;

TEST_F(PortalHotkeyServiceTest, OneSessionBindsTheTableAndPressesArrive) {
  StartPortal();
  MakeService();
  EXPECT_EQ(service_->UnavailableReason(), "");
  RegisterDefaults();
  const std::string session = NextReport();
  ASSERT_EQ(session.rfind("session ", 0), 0u) << session;
  EXPECT_EQ(NextReport(), "bound Play=CTRL+x Stop=CTRL+v Search=CTRL+s")
      << "the whole table in one call";
  ASSERT_TRUE(WaitUntil([&] { return !service_->session_handle().isEmpty(); }));

  Press(QStringLiteral("Search"));
  Press(QStringLiteral("Play"));
  ASSERT_TRUE(WaitUntil([&] { return events_.hotkeys.size() == 2; }));
  EXPECT_EQ(events_.hotkeys, (std::vector<int>{3, 1}));
}

TEST_F(PortalHotkeyServiceTest, AChangedTableIsBoundAgainInTheSameSession) {
  StartPortal();
  MakeService();
  RegisterDefaults();
  ASSERT_EQ(NextReport().rfind("session ", 0), 0u);
  ASSERT_EQ(NextReport().rfind("bound ", 0), 0u);
  // What the core does when the option comes on again with Stop disabled.
  for (int id = 1; id <= 3; ++id) service_->Unregister(id);
  service_->Describe(1, "Play");
  service_->Register(1, kModAlt, 'X');
  service_->Describe(3, "Search");
  service_->Register(3, kModAlt, 'S');
  EXPECT_EQ(NextReport(), "bound Play=ALT+x Search=ALT+s");
  Press(QStringLiteral("Stop"));
  Press(QStringLiteral("Search"));
  ASSERT_TRUE(WaitUntil([&] { return !events_.hotkeys.empty(); }));
  EXPECT_EQ(events_.hotkeys, (std::vector<int>{3})) << "Stop is gone";
}

TEST_F(PortalHotkeyServiceTest,
       APortalThatBindsOnceGetsANewSessionForANewTable) {
  StartPortal("--bind-once");
  MakeService();
  RegisterDefaults();
  const std::string first = NextReport().substr(8);
  ASSERT_EQ(NextReport().rfind("bound ", 0), 0u);
  ASSERT_TRUE(WaitUntil([&] { return !service_->session_handle().isEmpty(); }));
  service_->Register(2, kModAlt, 'V');
  EXPECT_EQ(NextReport(), "refused");
  EXPECT_EQ(NextReport(), "closed " + first);
  EXPECT_EQ(NextReport().rfind("session ", 0), 0u);
  EXPECT_EQ(NextReport(), "bound Play=CTRL+x Stop=ALT+v Search=CTRL+s");
  ASSERT_TRUE(WaitUntil([&] {
    return !service_->session_handle().isEmpty() &&
           service_->session_handle().toStdString() != first;
  }));
  Press(QStringLiteral("Stop"));
  ASSERT_TRUE(WaitUntil([&] { return !events_.hotkeys.empty(); }));
  EXPECT_EQ(events_.hotkeys, (std::vector<int>{2}));
}

TEST_F(PortalHotkeyServiceTest, ReleasingEveryHotkeyClosesTheSession) {
  StartPortal();
  MakeService();
  RegisterDefaults();
  const std::string session = NextReport().substr(8);
  ASSERT_EQ(NextReport().rfind("bound ", 0), 0u);
  ASSERT_TRUE(WaitUntil([&] { return !service_->session_handle().isEmpty(); }));
  for (int id = 1; id <= 3; ++id) service_->Unregister(id);
  EXPECT_EQ(NextReport(), "closed " + session);
  EXPECT_TRUE(service_->session_handle().isEmpty());
  Press(QStringLiteral("Play"));
  QCoreApplication::processEvents();
  EXPECT_TRUE(events_.hotkeys.empty());
}

TEST_F(PortalHotkeyServiceTest, WithoutAPortalTheHotkeysAreOffAndSayWhy) {
  MakeService();
  EXPECT_NE(service_->UnavailableReason().find("portal"), std::string::npos)
      << service_->UnavailableReason();
  EXPECT_FALSE(service_->Register(1, kModControl, 'X'));
}

TEST_F(PortalHotkeyServiceTest, ARefusedBindingLeavesNoHotkeyAndNoCrash) {
  StartPortal("--refuse-bind");
  MakeService();
  RegisterDefaults();
  ASSERT_EQ(NextReport().rfind("session ", 0), 0u);
  Press(QStringLiteral("Play"));
  QCoreApplication::processEvents();
  EXPECT_TRUE(events_.hotkeys.empty());
}

}  // namespace
}  // namespace kivo::desktop
