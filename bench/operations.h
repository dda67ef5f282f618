// The timed operations, each started with the click a user makes, headless
// or through the window, and checked to have done their work: a fast
// operation that failed would be no result.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

#include "route.h"

namespace korvane::bench {

struct Monitoring {
  double wallMs = 0;
  double cpuMs = 0;  // this process only
  int polls = 0;
  int answered = 0;  // polls whose reply blinked the activity lamp
  int logRows = 0;   // rows the data log wrote, when it ran

  double msPerPoll() const { return polls > 0 ? wallMs / polls : 0; }
};

// An operation's wall time and the CPU time this process spent meanwhile, in
// milliseconds; the CPU time tells the program's own work from waits that
// woke late.
struct Timed {
  double wallMs = 0;
  double cpuMs = 0;
};

class Operations {
 public:
  explicit Operations(Route& route);

  // Each returns its times and throws std::runtime_error when the operation
  // did not do its work.

  // From the click on Begin_Comm, made right after a timer tick, to the end
  // of the tick that read the last cell.
  Timed connectAndFullRead();
  // The send button with all 128 cells edited and nothing else marked.
  Timed uploadAllCells();
  // File > Get data from controller into a set file.
  Timed save();
  // File > Put data in controller from the file the save wrote.
  Timed load();

  // Connects, then lets the timer poll live data for `span`.
  // Connects, then lets the timer poll live data for `span`, with the data
  // log running when `logging`.
  Monitoring monitor(std::chrono::seconds span, bool logging = false);

 private:
  // Clicks `control` and lets the timer tick until `done` holds.
  Timed timeClick(
      Field& control, const char* operation, const std::function<bool()>& done = [] { return true; });
  void expectNoMessage(const char* operation) const;

  Route& route_;
  std::filesystem::path setFile_;
  int run_ = 0;
};

double median(std::vector<double> values);
// The largest less the smallest.
double spread(const std::vector<double>& values);

}  // namespace korvane::bench
