// Holding and writing the lines of a log.
#include "datalog/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace korvane {

std::optional<std::string> LogFile::open(const std::filesystem::path& path) {
  close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) return std::strerror(errno);
  size_ = 0;
  return std::nullopt;
}

void LogFile::hold(std::string_view lines, long long nowMs) {
  if (held_.empty()) heldSinceMs_ = nowMs;
  held_.append(lines);
}

bool LogFile::due(long long nowMs) const { return !held_.empty() && nowMs - heldSinceMs_ >= kHoldAtMostMs; }

std::optional<std::string> LogFile::write() {
  std::size_t written = 0;
  std::optional<std::string> error;
  while (written < held_.size() && !error) {
    const ssize_t n = ::write(fd_, held_.data() + written, held_.size() - written);
    if (n < 0 && errno == EINTR) continue;  // a signal came before anything was written; nothing is lost
    if (n <= 0) {
      error = std::strerror(n < 0 ? errno : EIO);
    } else {
      written += static_cast<std::size_t>(n);
    }
  }
  if (error) {
    // A line cut short would be read as a row of wrong numbers: the file is
    // cut back to the last line it took whole. A drive that is gone cannot
    // be cut back either; there a reader meets the torn line last.
    std::size_t whole = written;
    while (whole > 0 && held_[whole - 1] != '\n') --whole;
    if (whole != written) {
      [[maybe_unused]] const int cut = ::ftruncate(fd_, size_ + static_cast<off_t>(whole));
    }
    written = whole;
  }
  size_ += static_cast<off_t>(written);
  held_.clear();
  return error;
}

void LogFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  held_.clear();
}

}  // namespace korvane
