// A log file and the lines held for it. Lines are kept in memory and written
// in one go once the oldest of them has waited a second, or whenever asked,
// so the live polling pays for a write about once a second and never for a
// line. A write the file does not take (a full disk, a size limit, a drive
// gone) leaves the file ending after the last whole line it took.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

class LogFile {
 public:
  // The longest a held line waits before it is due to be written.
  static constexpr long long kHoldAtMostMs = 1000;

  LogFile() = default;
  ~LogFile() { close(); }
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Creates the file, or empties the one there; the reason when it cannot.
  std::optional<std::string> open(const std::filesystem::path& path);
  bool isOpen() const { return fd_ >= 0; }

  // Holds `lines` (each ending in a line feed), noted at `nowMs`.
  void hold(std::string_view lines, long long nowMs);
  const std::string& held() const { return held_; }

  // Whether the oldest line held has waited kHoldAtMostMs at `nowMs`.
  bool due(long long nowMs) const;

  // Writes everything held and holds nothing more; the reason when the file
  // did not take it all.
  std::optional<std::string> write();

  // Closes the file; anything still held is dropped.
  void close();

 private:
  // The file operations, each platform's own: writes up to `count` bytes and
  // gives how many it took, or the reason it took none; cuts the file back
  // to `size` bytes.
  struct Written {
    std::size_t bytes = 0;
    std::optional<std::string> error;
  };
  Written writeSome(const char* data, std::size_t count);
  void cutTo(std::uint64_t size);

  int fd_ = -1;
  std::string held_;
  long long heldSinceMs_ = 0;
  std::uint64_t size_ = 0;  // what the file holds, all of it whole lines
};

}  // namespace korvane
