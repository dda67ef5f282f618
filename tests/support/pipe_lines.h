// The lines that come out of the reading end of a pipe (a child process's
// output), taken one at a time as they arrive.
#pragma once

#include <chrono>
#include <string>

namespace korvane::testing {

class PipeLines {
 public:
  explicit PipeLines(int fd = -1) : fd_(fd) {}

  // Waits up to `timeout` for the next whole line and returns it without its
  // newline; empty when none comes in time or the writing end is closed.
  std::string next(std::chrono::milliseconds timeout);

 private:
  int fd_;
  std::string buffered_;
};

}  // namespace korvane::testing
