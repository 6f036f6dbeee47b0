#include "desktop/integrations/x11_hotkey_service.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "desktop/integrations/x11_key_map.h"
#include "integrations/other_x_client.h"
#include "integrations/qt_test_support.h"
#include "integrations/recording_shell_events.h"
#include "integrations/spawned_process.h"

namespace kivo::desktop {
namespace {

using kivo::testing::OtherXClient;
using kivo::testing::ProgramExists;
using kivo::testing::RecordingShellEvents;
using kivo::testing::RunProgram;
using kivo::testing::SpawnedProcess;
using kivo::testing::WaitUntil;

TEST(X11HotkeyServiceWithoutX11Test, NothingRegisters) {
  RecordingShellEvents events;
  X11HotkeyService no_app(&events);
  EXPECT_FALSE(no_app.available());
  EXPECT_FALSE(no_app.Register(1, kModControl, 'X'));
  no_app.Unregister(1);
}

TEST(KeysymForVirtualKeyTest, MapsWindowsKeysToUsKeysyms) {
  EXPECT_EQ(KeysymForVirtualKey('X'), static_cast<uint32_t>(XK_x));
  EXPECT_EQ(KeysymForVirtualKey('0'), static_cast<uint32_t>(XK_0));
  EXPECT_EQ(KeysymForVirtualKey(107), static_cast<uint32_t>(XK_KP_Add));
  EXPECT_EQ(KeysymForVirtualKey(109), static_cast<uint32_t>(XK_KP_Subtract));
  EXPECT_EQ(KeysymForVirtualKey(0x69), static_cast<uint32_t>(XK_KP_9));
  EXPECT_EQ(KeysymForVirtualKey(0x70), static_cast<uint32_t>(XK_F1));
  EXPECT_EQ(KeysymForVirtualKey(0x87), static_cast<uint32_t>(XK_F24));
  EXPECT_EQ(KeysymForVirtualKey(0x21), static_cast<uint32_t>(XK_Prior));
  EXPECT_EQ(KeysymForVirtualKey(0xB0), static_cast<uint32_t>(XF86XK_AudioNext));
  EXPECT_EQ(KeysymForVirtualKey(0xAF),
            static_cast<uint32_t>(XF86XK_AudioRaiseVolume));
  EXPECT_EQ(KeysymForVirtualKey(0x07), 0u);
  EXPECT_EQ(KeysymForVirtualKey(0x88), 0u) << "past F24";
}

// A private X server for the suite, and the Qt application on it.
class X11HotkeyServiceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!ProgramExists("Xvfb")) return;
    server_ = new SpawnedProcess({"Xvfb", "-displayfd", "1", "-nolisten", "tcp",
                                  "-screen", "0", "320x240x24"});
    const std::string number = server_->ReadLine(10000);
    if (number.empty()) return;
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    static int argc = 1;
    static char name[] = "hotkey-test";
    static char* argv[] = {name, nullptr};
    app_ = new QGuiApplication(argc, argv);
  }
  static void TearDownTestSuite() {
    delete app_;
    app_ = nullptr;
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    if (app_ == nullptr) GTEST_SKIP() << "no Xvfb";
    if (!ProgramExists("xdotool")) GTEST_SKIP() << "no xdotool";
    service_ = std::make_unique<X11HotkeyService>(nullptr);
    service_->SetShellEvents(&events_);
    ASSERT_TRUE(service_->available());
  }

  static void Press(const char* keys) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"),
                       QString::fromStdString(display_));
    RunProgram({QStringLiteral("xdotool"), QStringLiteral("key"),
                QString::fromLatin1(keys)},
               environment);
  }
  // Key events arrive in order: once `id` has fired, every earlier key press
  // that was going to fire has too.
  bool WaitFor(int id) {
    return WaitUntil([&] {
      return std::find(events_.hotkeys.begin(), events_.hotkeys.end(), id) !=
             events_.hotkeys.end();
    });
  }

  static SpawnedProcess* server_;
  static QGuiApplication* app_;
  static std::string display_;
  RecordingShellEvents events_;
  std::unique_ptr<X11HotkeyService> service_;
};

SpawnedProcess* X11HotkeyServiceTest::server_ = nullptr;
QGuiApplication* X11HotkeyServiceTest::app_ = nullptr;
std::string X11HotkeyServiceTest::display_;

TEST_F(X11HotkeyServiceTest, GrabbedKeysFireTheirIds) {
  ASSERT_TRUE(service_->Register(1, kModControl, 'X'));
  ASSERT_TRUE(service_->Register(2, kModControl, 107));
  ASSERT_TRUE(service_->Register(3, 0, 0xB3));  // play/pause media key
  Press("x");                                   // no Ctrl: not ours
  Press("ctrl+x");
  Press("ctrl+KP_Add");
  Press("XF86AudioPlay");
  ASSERT_TRUE(WaitFor(3));
  EXPECT_EQ(events_.hotkeys, (std::vector<int>{1, 2, 3}));
}

TEST_F(X11HotkeyServiceTest, LockKeysDoNotStopTheHotkeys) {
  ASSERT_TRUE(service_->Register(1, kModControl, 'X'));
  Press("Num_Lock");
  Press("ctrl+x");
  Press("Caps_Lock");
  Press("ctrl+x");
  Press("Num_Lock");
  Press("Caps_Lock");
  ASSERT_TRUE(service_->Register(9, kModAlt, 'Z'));
  Press("alt+z");
  ASSERT_TRUE(WaitFor(9));
  EXPECT_EQ(events_.hotkeys, (std::vector<int>{1, 1, 9}));
}

TEST_F(X11HotkeyServiceTest, UnregisteredKeysNoLongerFire) {
  ASSERT_TRUE(service_->Register(1, kModControl, 'X'));
  ASSERT_TRUE(service_->Register(2, kModControl, 'V'));
  service_->Unregister(1);
  EXPECT_FALSE(service_->Register(3, kModControl, 'V')) << "taken by id 2";
  Press("ctrl+x");
  Press("ctrl+v");
  ASSERT_TRUE(WaitFor(2));
  EXPECT_EQ(events_.hotkeys, std::vector<int>{2});

  // Registering an id again moves it to the new key.
  ASSERT_TRUE(service_->Register(2, kModShift, 'B'));
  Press("ctrl+v");
  Press("shift+b");
  ASSERT_TRUE(WaitUntil([&] { return events_.hotkeys.size() == 2; }));
  EXPECT_EQ(events_.hotkeys, (std::vector<int>{2, 2}));
}

TEST_F(X11HotkeyServiceTest, KeyHeldByAnotherClientIsRefused) {
  auto other = std::make_unique<OtherXClient>(display_);
  ASSERT_TRUE(other->connected());
  ASSERT_TRUE(other->GrabControlLetter('b'));

  EXPECT_FALSE(service_->Register(4, kModControl, 'B'));
  ASSERT_TRUE(service_->Register(5, kModControl, 'R'));
  other.reset();  // its grabs go with its connection
  EXPECT_TRUE(service_->Register(4, kModControl, 'B'));
  Press("ctrl+b");
  Press("ctrl+r");
  ASSERT_TRUE(WaitFor(5));
  EXPECT_EQ(events_.hotkeys, (std::vector<int>{4, 5}));
}

TEST_F(X11HotkeyServiceTest, KeysAreReleasedWithTheService) {
  ASSERT_TRUE(service_->Register(1, kModControl, 'S'));
  OtherXClient other(display_);
  ASSERT_TRUE(other.connected());
  EXPECT_FALSE(other.GrabControlLetter('s'));
  service_.reset();
  EXPECT_TRUE(other.GrabControlLetter('s'));
}

}  // namespace
}  // namespace kivo::desktop
