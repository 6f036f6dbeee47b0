#include <gtest/gtest.h>

#include <QApplication>

namespace {

// One QApplication for the whole test program (the offscreen platform is
// chosen by the test environment).
class QtEnvironment final : public testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "kivo_desktop_tests";
    static char* argv[] = {name, nullptr};
    // Windows of the tests never reach a real display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    app_ = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override { delete app_; }

 private:
  QApplication* app_ = nullptr;
};

testing::Environment* const kQtEnvironment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
