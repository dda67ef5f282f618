// The program wired as src/ui/main.cpp wires it, for the bench to drive
// through its window. This is the one place the bench repeats the program's
// start-up; when main.cpp's wiring changes, change it here to match.
#pragma once

#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "ui/main_view.h"
#include "ui/qt_desktop.h"
#include "window/program.h"

namespace korvane::bench {

// What main() sets up once the QApplication exists: numbers in the C
// locale, the empty application title and the window's look.
void setUpApplicationAsMainDoes();

class WindowProgram {
 public:
  // The program on the POSIX backend in `workDir` and on `desktop`, its
  // 100 ms timer calling get_data_timerTimer through the guard, the
  // creation handler, and the main view, shown. `afterTick` runs after each
  // of the timer's ticks, for the bench to look at the outcome.
  WindowProgram(QtDesktop& desktop, const std::filesystem::path& workDir, std::function<void()> afterTick);
  ~WindowProgram();
  WindowProgram(const WindowProgram&) = delete;
  WindowProgram& operator=(const WindowProgram&) = delete;

  Program& program() { return program_; }
  MainView& view() { return *view_; }

  // Starts the timer's schedule again: the next tick is due in 100 ms.
  void restartTimer() { get_data_timer_.start(); }

 private:
  Program program_;
  QTimer get_data_timer_;
  std::function<void()> afterTick_;
  std::unique_ptr<MainView> view_;
};

}  // namespace korvane::bench
