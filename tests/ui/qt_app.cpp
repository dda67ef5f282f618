// The UI tests' QApplication and input helpers.
#include "qt_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <cstdlib>
#include <memory>

#include "ui/main_view.h"

namespace korvane::testing {
namespace {

std::unique_ptr<QApplication> application;

// The application goes when the tests are done, before the program's static
// objects (Qt's among them) are destroyed; destroying it later crashes.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ensureQtApplication(); }
  void TearDown() override { application.reset(); }
};

// GoogleTest owns the environment it is given.
[[maybe_unused]] ::testing::Environment* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

void ensureQtApplication() {
  if (application) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "ui_tests";
  static char* argv[] = {name, nullptr};
  application = std::make_unique<QApplication>(argc, argv);
  // A process that ends in the middle of a test (the exit tests) leaves the
  // application to the operating system: at that point Qt's own statics are
  // gone and destroying it would crash.
  static const bool releaseAtExit = std::atexit([] { (void)application.release(); }) == 0;
  (void)releaseAtExit;
  // As at start-up: the application's title, the exception box's caption,
  // is empty.
  QApplication::setApplicationDisplayName(QString());
  applyWindowLook();
}

bool processEventsUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

bool showActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return processEventsUntil([&window] { return QApplication::activeWindow() == &window; });
}

void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(widget, &release);
}

void typeText(QWidget* widget, const QString& text) {
  for (QChar c : text) pressKey(widget, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

QString renderPath(const QString& name) {
  QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/ui");
  if (!QDir().mkpath(dir) || !QFileInfo(dir).isWritable()) {
    dir = QDir::tempPath() + QStringLiteral("/korvane-ui");
    QDir().mkpath(dir);
  }
  return dir + QLatin1Char('/') + name;
}

}  // namespace korvane::testing
