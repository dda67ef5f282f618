// Korvane's start-up: the application with its empty title, the program with
// the real desktop and serial line, the exit signals, the 100 ms timer, the
// main window's creation handler, and the window shown collapsed.
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTimer>
#include <clocale>
#include <exception>
#include <filesystem>

#include "app/menu_start.h"
#include "app/startup.h"
#include "base/timer_slack.h"
#include "comm/comm_control.h"
#include "serial/serial_backend_posix.h"
#include "ui/exit_signals.h"
#include "ui/main_view.h"
#include "ui/qt_desktop.h"

namespace {

// The user's decimal separator, for the texts of the fields. A separator
// that is not a single ASCII character cannot be typed into the fields' byte
// texts reliably, so such locales fall back to the full stop.
char userDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  if (point.size() == 1 && point.front().unicode() > 0x20 && point.front().unicode() < 0x80) {
    return static_cast<char>(point.front().unicode());
  }
  return '.';
}

// SIGTERM, SIGINT and SIGHUP end the program as they always did, but with
// ControllerPort closed first, so that the next start finds the device free.
void endOnSignal(korvane::Program& program, int signo) {
  korvane::beforeProgramEnds(program);  // the data log written out, the port closed
  korvane::endBySignal(signo);
}

int runProgram(QApplication& app, korvane::QtDesktop& desktop) {
  using namespace korvane;
  // comm.ini and the Com<n> links live in the directory the program was
  // started in.
  const std::filesystem::path workDir = ".";
  Program program(
      desktop, [workDir, &desktop] { return makePosixSerialBackend(workDir, desktop.lineWait()); }, workDir,
      userDecimalSeparator());
  // A signal ends the program once the operation in progress, if any, has
  // ended, as a close of the window does.
  ExitSignals exitSignals(
      [&program, &desktop](int signo) { desktop.gate().run([&program, signo] { endOnSignal(program, signo); }); });

  // The timer ticks from the window's creation on, also inside the message
  // boxes of start-up; what a tick does depends on the state of the line.
  // A tick that falls due while an operation runs waits for its end.
  QTimer get_data_timer;
  get_data_timer.setInterval(100);
  OperationGate& gate = desktop.gate();
  QObject::connect(&get_data_timer, &QTimer::timeout, [&program, &gate] {
    gate.tick([&program] { guarded(program, [&program] { get_data_timerTimer(program); }); });
  });
  get_data_timer.start();

  FormCreate(program);
  MainView view(program, &gate);
  view.show();
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  // Before any thread starts, so that every thread keeps the program's pace.
  korvane::useFinestTimerSlack();
  QApplication app(argc, argv);
  // Wayland shows the window with the name and icon of this desktop entry.
  QGuiApplication::setDesktopFileName(QStringLiteral(KORVANE_APP_ID));
  // QApplication sets the C library's locale from the environment. Numbers
  // are turned into text and back with the C library (the field texts'
  // formatting, set files, comm.ini), which must keep the full stop; the
  // user's own separator is taken from QLocale below, which reads the
  // environment itself.
  std::setlocale(LC_NUMERIC, "C");
  // The application's title is empty: it is what the exception box shows as
  // its caption, while the main window keeps its own caption.
  QApplication::setApplicationDisplayName(QString());
  korvane::applyWindowLook();
  korvane::QtDesktop desktop;
  // The desktop entry starts Korvane with --menu (korvane(1)).
  if (app.arguments().contains(QStringLiteral("--menu"))) {
    if (!korvane::enterMenuStartFolder(desktop)) return 1;
    desktop.setDialogFolder(QDir::homePath());
  }
  try {
    return runProgram(app, desktop);
  } catch (const std::exception& error) {
    desktop.exceptionBox(korvane::exceptionBoxText(error.what()));
    return 0;
  }
}
