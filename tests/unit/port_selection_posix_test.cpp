// comm.ini on POSIX: a read-only file still names the port, even for root,
// who is kept from writing only by the immutable flag.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/port_selection.h"
#include "app/startup.h"
#include "support/headless_program.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;

// Sets or clears the immutable flag, which keeps even root from writing.
bool setImmutable(const std::filesystem::path& path, bool on) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
  done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  ::close(fd);
  return done;
}

bool writable(const std::filesystem::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "r+");
  if (file) std::fclose(file);
  return file != nullptr;
}

TEST(CommIniTest, AReadOnlyFileIsHonoured) {
  HeadlessProgram p(nullptr, false);
  const auto path = p.dir.path() / "comm.ini";
  std::ofstream(path, std::ios::binary) << "3\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  const bool immutable = writable(path) && setImmutable(path, true);  // read-only means nothing to root
  if (writable(path)) GTEST_SKIP() << "cannot make a file read-only here";
  FormCreate(*p);
  if (immutable) setImmutable(path, false);
  EXPECT_EQ(p->SelectedPort, 3);
  EXPECT_TRUE(p.desktop.messages.empty());
}

}  // namespace
}  // namespace korvane
