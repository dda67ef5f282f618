// Reading a pipe line by line with a time limit.
#include "support/pipe_lines.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace korvane::testing {

std::string PipeLines::next(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (buffered_.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd fd{fd_, POLLIN, 0};
    if (left.count() <= 0) return {};
    const int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;  // a signal is no end of the output
    if (ready <= 0) return {};
    char chunk[256];
    const ssize_t got = ::read(fd_, chunk, sizeof chunk);
    if (got <= 0) return {};
    buffered_.append(chunk, static_cast<std::size_t>(got));
  }
  const auto newline = buffered_.find('\n');
  std::string line = buffered_.substr(0, newline);
  buffered_.erase(0, newline + 1);
  return line;
}

}  // namespace korvane::testing
