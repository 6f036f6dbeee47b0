#include "integrations/qt_test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace kivo::testing {
namespace {

constexpr int kPatienceMs = 10000;

}  // namespace

std::string RunProgram(const QStringList& command,
                       const QProcessEnvironment& environment) {
  QProcess process;
  process.setProcessEnvironment(environment);
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&process, &QProcess::errorOccurred, &loop,
                   &QEventLoop::quit);
  QTimer::singleShot(kPatienceMs, &loop, &QEventLoop::quit);
  process.start(command.first(), command.mid(1));
  loop.exec();
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished(1000);
  }
  return process.readAllStandardOutput().trimmed().toStdString();
}

bool WaitUntil(const std::function<bool()>& done) {
  const QDeadlineTimer deadline(kPatienceMs);
  // Wakes the waiting loop now and then so the deadline is looked at.
  QTimer tick;
  tick.start(20);
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return done();
}

}  // namespace kivo::testing
