// The program's start-up as main.cpp does it.
#include "window_program.h"

#include <QApplication>
#include <clocale>

#include "app/startup.h"
#include "comm/comm_control.h"
#include "serial/serial_backend_posix.h"

namespace korvane::bench {
namespace {

// main.cpp takes the user's separator from the locale; the bench's checks
// read the field texts with a full stop, so it is the full stop here.
constexpr char kDecimalSeparator = '.';

}  // namespace

void setUpApplicationAsMainDoes() {
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationDisplayName(QString());
  applyWindowLook();
}

WindowProgram::WindowProgram(QtDesktop& desktop, const std::filesystem::path& workDir, std::function<void()> afterTick)
    : program_(
          desktop, [workDir, &desktop] { return makePosixSerialBackend(workDir, desktop.lineWait()); }, workDir,
          kDecimalSeparator),
      afterTick_(std::move(afterTick)) {
  get_data_timer_.setInterval(100);
  OperationGate& gate = desktop.gate();
  QObject::connect(&get_data_timer_, &QTimer::timeout, [this, &gate] {
    gate.tick([this] {
      guarded(program_, [this] { get_data_timerTimer(program_); });
      afterTick_();
    });
  });
  get_data_timer_.start();

  FormCreate(program_);
  view_ = std::make_unique<MainView>(program_, &gate);
  view_->show();
}

// The view goes before the program whose model it observes, and the timer
// with it, as when main.cpp's stack unwinds.
WindowProgram::~WindowProgram() {
  get_data_timer_.stop();
  view_.reset();
}

}  // namespace korvane::bench
