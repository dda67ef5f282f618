// Holding and writing the lines of a log.
#include "datalog/log_file.h"

#include <utility>

namespace korvane {

void LogFile::hold(std::string_view lines, long long nowMs) {
  if (held_.empty()) heldSinceMs_ = nowMs;
  held_.append(lines);
}

bool LogFile::due(long long nowMs) const { return !held_.empty() && nowMs - heldSinceMs_ >= kHoldAtMostMs; }

std::optional<std::string> LogFile::write() {
  std::size_t written = 0;
  std::optional<std::string> error;
  while (written < held_.size() && !error) {
    Written step = writeSome(held_.data() + written, held_.size() - written);
    written += step.bytes;
    error = std::move(step.error);
  }
  if (error) {
    // A line cut short would be read as a row of wrong numbers: the file is
    // cut back to the last line it took whole. A drive that is gone cannot
    // be cut back either; there a reader meets the torn line last.
    std::size_t whole = written;
    while (whole > 0 && held_[whole - 1] != '\n') --whole;
    if (whole != written) cutTo(size_ + whole);
    written = whole;
  }
  size_ += written;
  held_.clear();
  return error;
}

}  // namespace korvane
