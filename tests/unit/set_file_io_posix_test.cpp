// Set files on disk, POSIX: a save that fails part-way, made to fail by a
// file-size limit on a child process.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>

#include "setfile/set_file_io.h"
#include "support/headless_program.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::string contentsOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SetFileIoTest, AWriteThatFailsPartWayLeavesTheExistingFileUntouched) {
  TempDir dir;
  const fs::path target = dir.path() / "tune.set";
  std::ofstream(target) << "KEEP ME\n";
  const std::vector<std::string> lines(2000, "MAPM[000]=255\n");

  // The file-size limit applies to the whole process, so the save runs in a
  // child; the signal it would raise is ignored, so the write itself fails.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(writeSetFile(target, lines).has_value() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the failure is reported";
  EXPECT_EQ(contentsOf(target), "KEEP ME\n");
  EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"tune.set"});
}

}  // namespace
}  // namespace korvane
