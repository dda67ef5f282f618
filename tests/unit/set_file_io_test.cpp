// Set files on disk: nothing half-written, nothing existing lost.
#include "setfile/set_file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(SetFileIoTest, AFileThatCannotBeOpenedReadsAsNothing) {
  TempDir dir;
  EXPECT_FALSE(readSetFile(dir.path() / "absent.set").has_value());
  EXPECT_FALSE(readSetFile(dir.path()).has_value()) << "a directory is not a set file";
}

}  // namespace
}  // namespace korvane
