// The UI tests' QApplication and input helpers.
#include "qt_app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <cstdlib>
#include <memory>

#include "ui/main_view.h"

namespace korvane::testing {

void ensureQtApplication() {
  static std::unique_ptr<QApplication> application = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QApplication>(argc, argv);
    // As at start-up: the application's title, the exception box's caption,
    // is empty.
    QApplication::setApplicationDisplayName(QString());
    applyWindowLook();
    return app;
  }();
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

}  // namespace korvane::testing
