// The log file's operations on POSIX.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "datalog/log_file.h"

namespace korvane {

std::optional<std::string> LogFile::open(const std::filesystem::path& path) {
  close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) return std::strerror(errno);
  size_ = 0;
  return std::nullopt;
}

LogFile::Written LogFile::writeSome(const char* data, std::size_t count) {
  for (;;) {
    const ssize_t n = ::write(fd_, data, count);
    if (n < 0 && errno == EINTR) continue;  // a signal came before anything was written; nothing is lost
    if (n < 0) return {0, std::strerror(errno)};
    if (n == 0) return {0, std::strerror(EIO)};
    return {static_cast<std::size_t>(n), std::nullopt};
  }
}

void LogFile::cutTo(std::uint64_t size) { [[maybe_unused]] const int cut = ::ftruncate(fd_, static_cast<off_t>(size)); }

void LogFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  held_.clear();
}

}  // namespace korvane
