// The one QApplication of the UI tests, on the offscreen platform, and small
// helpers to drive widgets the way a user does.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

namespace korvane::testing {

// Creates the application unless it is there; the test environment does it
// before the first test and removes it after the last.
void ensureQtApplication();

// Handles events until `done` holds or the time is up; returns `done()`.
bool processEventsUntil(const std::function<bool()>& done, int timeoutMs = 2000);

// Shows the window and waits until it is the active window, so that focus
// moves as on a real desktop.
bool showActive(QWidget& window);

// One key pressed and released on `widget`, with the text it types.
void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = QString());

// Types each character of `text` on `widget`.
void typeText(QWidget* widget, const QString& text);

// The path of a picture a test renders for people to look at: in ui/ beside
// the test program, or, where that cannot be written (a build tree run by
// another user), in the temporary folder.
QString renderPath(const QString& name);

}  // namespace korvane::testing
