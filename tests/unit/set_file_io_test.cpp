// Set files on disk: nothing half-written, nothing existing lost.
#include "setfile/set_file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include "support/headless_program.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::contentsOf;
using testing::entriesOf;
using testing::TempDir;

TEST(SetFileIoTest, WritesEveryLineAndReplacesAnExistingFileWhole) {
  TempDir dir;
  const fs::path target = dir.path() / "tune.set";
  std::ofstream(target) << "old content that is longer than the new one\n";
  ASSERT_FALSE(writeSetFile(target, {"A= 1\n", "B= 2\n"}).has_value());
  EXPECT_EQ(contentsOf(target), "A= 1\nB= 2\n");
  EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"tune.set"}) << "no temporary file is left";
  EXPECT_EQ(readSetFile(target), "A= 1\nB= 2\n");
}

TEST(SetFileIoTest, AMissingDirectoryIsReportedAndNothingIsCreated) {
  TempDir dir;
  const auto error = writeSetFile(dir.path() / "missing" / "tune.set", {"A= 1\n"});
  ASSERT_TRUE(error.has_value());
  EXPECT_TRUE(entriesOf(dir.path()).empty());
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
  EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"tune.set"});
}

TEST(SetFileIoTest, AFileThatCannotBeOpenedReadsAsNothing) {
  TempDir dir;
  EXPECT_FALSE(readSetFile(dir.path() / "absent.set").has_value());
  EXPECT_FALSE(readSetFile(dir.path()).has_value()) << "a directory is not a set file";
}

}  // namespace
}  // namespace korvane
