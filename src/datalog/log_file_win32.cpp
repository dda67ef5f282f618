// The log file's operations on Win32, through the C runtime's descriptors.
// The file is binary: its lines end in a line feed alone, the same bytes as
// on every platform, which the log viewers read either way.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "datalog/log_file.h"

namespace korvane {

std::optional<std::string> LogFile::open(const std::filesystem::path& path) {
  close();
  fd_ = ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd_ < 0) return std::strerror(errno);
  size_ = 0;
  return std::nullopt;
}

LogFile::Written LogFile::writeSome(const char* data, std::size_t count) {
  const unsigned int chunk = count > INT_MAX ? INT_MAX : static_cast<unsigned int>(count);
  const int n = ::_write(fd_, data, chunk);
  if (n < 0) return {0, std::strerror(errno)};
  if (n == 0) return {0, std::strerror(EIO)};
  return {static_cast<std::size_t>(n), std::nullopt};
}

void LogFile::cutTo(std::uint64_t size) { ::_chsize_s(fd_, static_cast<long long>(size)); }

void LogFile::close() {
  if (fd_ >= 0) ::_close(fd_);
  fd_ = -1;
  held_.clear();
}

}  // namespace korvane
