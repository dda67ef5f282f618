// A program and korvane-sim talking over a real pseudo-terminal in real time:
// the emulator serves the line and links it as Com1 in a fresh working
// directory (SimLine); the program, started up there, reaches it through
// SerialPort and the POSIX backend (SimSession). Waits really block, message
// boxes are recorded and file dialogs answer from a script (RealTimeDesktop).
// The window's 100 ms timer is played as the event loop plays it, and what
// korvane-sim reports with --verbose is gathered as frames.
//
// A watchdog ends the whole process, and the emulator first, when a session
// outlives its time: a handler that hangs fails its test instead of stalling
// the suite.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/headless_program.h"
#include "support/line_bytes.h"
#include "support/real_time_desktop.h"
#include "support/sim_process.h"
#include "window/program.h"

namespace korvane::testing {

// What korvane-sim reported about the bytes it received.
struct SimReport {
  std::vector<Bytes> acted;        // frames the controller received and acted on, in order
  std::vector<Bytes> ignored;      // frames that came while the line was going down
  std::size_t discardedBytes = 0;  // bytes written to it that start no frame
  bool lineDropped = false;        // it hung the line up (and ends)
};

// The window's 100 ms timer as the event loop runs it: a tick falls due every
// interval; a tick that falls due while the one before still runs comes as
// soon as that one ends, and the schedule goes on from then.
class PollingTimer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit PollingTimer(Clock::duration interval = std::chrono::milliseconds(100));

  // Starts the schedule again: the next tick is due one interval from now.
  void restart();

  // Waits until the next tick is due, then runs `tick`.
  void fire(const std::function<void()>& tick);

 private:
  Clock::duration interval_;
  Clock::time_point due_;
};

// korvane-sim serving Com1 in a fresh working directory, whose comm.ini
// chooses port 1, under the watchdog. A program started up in `dir` with the
// POSIX backend finds it there.
class SimLine {
 public:
  // Starts the emulator `simBinary` with `simArgs` (and --verbose when
  // `verbose`) and chooses port 1 in comm.ini. The watchdog allows the whole
  // session `budget`. Throws std::runtime_error when the emulator does not
  // start.
  SimLine(const std::string& simBinary, std::vector<std::string> simArgs, bool verbose, std::chrono::seconds budget);
  ~SimLine();
  SimLine(const SimLine&) = delete;
  SimLine& operator=(const SimLine&) = delete;

  SimProcess& sim() { return *sim_; }
  bool verbose() const { return verbose_; }

  // Takes in what korvane-sim has printed so far, waiting up to `quiet` for
  // more.
  const SimReport& report(std::chrono::milliseconds quiet = std::chrono::milliseconds(0));

  // Waits up to `limit` for korvane-sim to hang up the line and end; whether
  // it did.
  bool waitForDrop(std::chrono::milliseconds limit);

 private:
  class Watchdog;
  std::atomic<pid_t> emulator_{-1};  // while it runs and has not been waited for
  std::unique_ptr<Watchdog> watchdog_;

 public:
  TempDir dir;

 private:
  void take(const std::string& line);

  bool verbose_;
  std::unique_ptr<SimProcess> sim_;
  SimReport report_;
};

class SimSession : public SimLine {
 public:
  // The line as SimLine starts it, and the program started up beside it.
  SimSession(const std::string& simBinary, std::vector<std::string> simArgs, bool verbose = true,
             std::chrono::seconds budget = std::chrono::seconds(60));

  Program& program() { return *program_; }
  TFrm_Mapping& w() { return program_->Frm_Mapping; }

  // Runs timer ticks until `done` holds (asked before each tick) or `limit`
  // has passed; returns whether `done` held.
  bool tickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
  void tickFor(std::chrono::milliseconds span);

  RealTimeDesktop desktop;
  PollingTimer timer;

 private:
  std::unique_ptr<Program> program_;  // last: it is closed before the line goes
};

}  // namespace korvane::testing
