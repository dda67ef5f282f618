// A start from the menu runs in the user's Korvane folder.
#include "app/menu_start.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "support/headless_program.h"
#include "support/recording_desktop.h"

namespace korvane {
namespace {

using testing::RecordingDesktop;
using testing::TempDir;

struct FolderCase {
  const char* xdgDataHome;
  const char* expected;
};

class MenuStartFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(MenuStartFolderTest, IsUnderAnAbsoluteDataHomeOrElseUnderLocalShare) {
  EXPECT_EQ(menuStartFolder(GetParam().xdgDataHome, "/home/kim"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(DataHomes, MenuStartFolderTest,
                         ::testing::Values(FolderCase{nullptr, "/home/kim/.local/share/korvane"},
                                           FolderCase{"", "/home/kim/.local/share/korvane"},
                                           FolderCase{"data", "/home/kim/.local/share/korvane"},
                                           FolderCase{"/srv/kim/data", "/srv/kim/data/korvane"}));

// Runs `enter` with XDG_DATA_HOME set to `dataHome`, and puts the working
// directory and the variable back afterwards.
bool enterWith(const std::filesystem::path& dataHome, RecordingDesktop& desktop) {
  const std::filesystem::path before = std::filesystem::current_path();
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
  const bool entered = enterMenuStartFolder(desktop);
  EXPECT_EQ(std::filesystem::current_path(), entered ? dataHome / "korvane" : before);
  std::filesystem::current_path(before);
  old ? ::setenv("XDG_DATA_HOME", saved.c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
  return entered;
}

TEST(MenuStartTest, TheFolderIsCreatedWithItsParentsAndBecomesTheWorkingDirectory) {
  TempDir dir;
  RecordingDesktop desktop;
  EXPECT_TRUE(enterWith(dir.path() / "fresh" / "share", desktop));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "fresh" / "share" / "korvane"));
  EXPECT_TRUE(desktop.messages.empty());
}

TEST(MenuStartTest, AFolderThatCannotBeMadeIsReportedAndNothingChanges) {
  TempDir dir;
  std::ofstream(dir.path() / "file") << "in the way";
  RecordingDesktop desktop;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(enterWith(dir.path() / "file", desktop));
  const std::string said = ::testing::internal::GetCapturedStderr();
  const std::string folder = (dir.path() / "file" / "korvane").string();
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].caption, "ERROR");
  EXPECT_EQ(desktop.messages[0].text.rfind("Cannot work in " + folder + ": ", 0), 0u) << desktop.messages[0].text;
  EXPECT_EQ(said, "korvane: " + desktop.messages[0].text + "\n");
}

}  // namespace
}  // namespace korvane
