// A run of the program in a child process of its own, for tests of how the
// process ends: its desktop ends the process with std::exit, as the real
// one does, so nothing is cleaned up that the program did not clean up
// itself. The message boxes it shows and the notes the run makes come back
// to the test as lines through a pipe.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "support/pipe_lines.h"
#include "support/real_time_desktop.h"

namespace korvane::testing {

// The desktop of the child: real time, every message box noted by its text,
// and a real end of the process.
class ChildDesktop : public RealTimeDesktop {
 public:
  explicit ChildDesktop(int report) : report_(report) {}

  void messageBox(const std::string& text, const std::string& caption) override;
  [[noreturn]] void exitProcess(int status) override;

  // Sends one line back to the test.
  void note(const std::string& text);

 private:
  int report_;
};

// How a child run ended and every line it sent.
struct ChildEnd {
  std::vector<std::string> shown;
  int exitStatus = -1;  // when it exited
  int signal = 0;       // when a signal killed it
};

// The exit status of a run that returned instead of ending the process.
constexpr int kRunReturned = 99;

class ProgramChild {
 public:
  // Forks; the child calls `run` with its desktop. The calling process must
  // have no other threads: only the forking one goes on in the child.
  explicit ProgramChild(const std::function<void(ChildDesktop&)>& run);

  // A child still running is killed.
  ~ProgramChild();
  ProgramChild(const ProgramChild&) = delete;
  ProgramChild& operator=(const ProgramChild&) = delete;

  // Waits up to `timeout` for the next line; empty when none comes.
  std::string nextLine(std::chrono::milliseconds timeout);

  void signal(int signo);

  // Waits up to `limit` for the child to end, with the lines it sent that
  // were not read yet. A child that does not end is killed with SIGKILL.
  ChildEnd finish(std::chrono::milliseconds limit);

 private:
  pid_t pid_ = -1;
  int report_ = -1;
  PipeLines lines_;
};

}  // namespace korvane::testing
