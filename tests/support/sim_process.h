// korvane-sim as a child process, for tests that talk to it over a real
// pseudo-terminal: started with its arguments, ready once it has printed its
// "listening" line, stopped with SIGTERM. It never outlives the thread that
// started it: a test killed outright takes its emulator with it. Start it on
// the test's own thread, never on a helper thread that ends first. The
// environment variable KORVANE_SIM, when set, names the binary to start
// instead of the one given (a copy, for a user who cannot reach the build
// tree).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/pipe_lines.h"

namespace korvane::testing {

class SimProcess {
 public:
  // Starts `binary` with `args` and waits up to `ready` for the listening
  // line; throws std::runtime_error when it does not come.
  SimProcess(const std::string& binary, const std::vector<std::string>& args,
             std::chrono::milliseconds ready = std::chrono::seconds(5));
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The terminal it serves, e.g. /dev/pts/4, and its whole listening line.
  const std::string& device() const { return device_; }
  const std::string& listeningLine() const { return listening_; }

  // Its process id while it runs, -1 once it has been waited for.
  pid_t pid() const { return pid_; }

  // Waits up to `timeout` for the next line of its standard output; empty
  // when none comes.
  std::string nextLine(std::chrono::milliseconds timeout);

  // Sends SIGTERM (unless it has ended already) and returns its exit status,
  // or -1 when it did not exit normally.
  int stop();

  // Waits up to `timeout` for it to end by itself; its exit status, or -1.
  int waitForExit(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  PipeLines lines_;
  std::string device_;
  std::string listening_;
  int status_ = -1;
};

// The result of running `binary` with `args` to the end: exit status and
// everything it wrote to standard output and standard error.
struct SimRun {
  int status;
  std::string output;
};
SimRun runSimToEnd(const std::string& binary, const std::vector<std::string>& args);

}  // namespace korvane::testing
