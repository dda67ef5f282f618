// Set files on disk, POSIX: atomic replacement on save, whole-file read on load.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "setfile/set_file_io.h"

namespace korvane {
namespace {

std::string systemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// A new file gets the mode an ordinary create would give it; a replaced file
// keeps its own.
mode_t modeFor(const std::filesystem::path& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

std::optional<std::string> writeAll(std::FILE* file, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (std::fputs(line.c_str(), file) == EOF) return systemError("writing failed");
  }
  if (std::fflush(file) != 0) return systemError("writing failed");
  if (::fsync(::fileno(file)) != 0) return systemError("writing to the disk failed");
  return std::nullopt;
}

}  // namespace

std::optional<std::string> writeSetFile(const std::filesystem::path& target, const std::vector<std::string>& lines) {
  const std::filesystem::path directory = target.has_parent_path() ? target.parent_path() : ".";
  std::string temporary = (directory / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return systemError("the file could not be created");
  ::fchmod(fd, modeFor(target));
  std::FILE* file = ::fdopen(fd, "w");
  if (file == nullptr) {
    const std::string error = systemError("the file could not be created");
    ::close(fd);
    ::unlink(temporary.c_str());
    return error;
  }
  std::optional<std::string> error = writeAll(file, lines);
  if (std::fclose(file) != 0 && !error) error = systemError("closing the file failed");
  if (!error && std::rename(temporary.c_str(), target.c_str()) != 0)
    error = systemError("the file could not be replaced");
  if (error) ::unlink(temporary.c_str());
  return error;
}

std::optional<std::string> readSetFile(const std::filesystem::path& path) {
  return readWholeSetFile(std::fopen(path.c_str(), "r"));
}

}  // namespace korvane
