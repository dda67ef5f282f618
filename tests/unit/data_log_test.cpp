// The data log on the virtual clock, with the emulator on the memory line:
// its rows and header, when the rows reach the file, markers, the Log menu,
// and a file that cannot be written.
#include "datalog/data_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "app/startup.h"
#include "base/home_folder.h"
#include "datalog/log_format.h"
#include "support/line_fixture.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::LineFixture;
using testing::ProcessExit;

std::vector<std::string> linesOf(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

constexpr std::size_t kHeaderLines = 4;

class DataLogTest : public LineFixture {
 protected:
  fs::path logPath(const std::string& name = "drive.msl") { return on.program.dir.path() / name; }

  void startLog(const fs::path& path) {
    desktop().saveAnswers.push_back(path.string());
    w().Startlogging1.click();
  }

  void expectLogMenu(bool logging) {
    EXPECT_EQ(w().Startlogging1.checked(), logging);
    EXPECT_EQ(w().Startlogging1.enabled(), !logging);
    EXPECT_EQ(w().Mark1.enabled(), logging);
    EXPECT_EQ(w().Stoplogging1.enabled(), logging);
  }
};

TEST_F(DataLogTest, EachLiveReplyIsARowOfWhatTheWindowShows) {
  connectAndReadAll();
  w().GainCells[53]->setText("1.17");
  w().GainCells[127]->setText("");
  controller().holdLiveData({.map = 700, .rpm = 400, .pulseWidth = 98});
  startLog(logPath());
  const long long started = now();
  struct Shown {
    long long atMs;
    std::string rpm, map, pw;
  };
  std::vector<Shown> shown;
  for (int i = 0; i < 4; ++i) {
    // Past both ends of both axes for the last two: the corner cell, left blank.
    if (i == 2) controller().holdLiveData({.map = 1023, .rpm = 1023, .pulseWidth = 0});
    tick();
    const std::string rpm = w().rpm_dpy.text();
    shown.push_back({now() - started, rpm.substr(0, rpm.find(' ')), w().map_dpy.text(), w().inj_dpy.text()});
  }
  controller().faults().silent = true;
  tick();  // unanswered: no row
  w().Stoplogging1.click();

  const auto lines = linesOf(logPath());
  ASSERT_EQ(lines.size(), kHeaderLines + shown.size());
  const std::string cells[] = {"53\t1.17\t700\t400\t98", "53\t1.17\t700\t400\t98", "127\t\t1023\t1023\t0",
                               "127\t\t1023\t1023\t0"};
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const Shown& s = shown[i];
    const std::string time = std::to_string(s.atMs / 1000) + "." + std::to_string(1000 + s.atMs % 1000).substr(1);
    EXPECT_EQ(lines[kHeaderLines + i], time + "\t" + s.rpm + "\t" + s.map + "\t" + s.pw + "\t" + cells[i]);
  }
}

TEST(GainForLogTest, TheGridsTextWithTwoDecimalsAndALeadingZero) {
  struct Case {
    const char* text;
    char separator;
    const char* logged;
  };
  for (const Case& c : {Case{".78", '.', "0.78"}, Case{"1.99", '.', "1.99"}, Case{"1.5", '.', "1.50"},
                        Case{",5", ',', "0.50"}, Case{" 2 ", '.', "2.00"}, Case{"", '.', ""}, Case{"abc", '.', ""}}) {
    EXPECT_EQ(gainForLog(c.text, c.separator), c.logged) << c.text;
  }
}

TEST_F(DataLogTest, RowsWaitInMemoryUntilTheOldestHasWaitedASecond) {
  connectAndReadAll();
  startLog(logPath());
  tick();
  const long long firstRow = now();
  while (now() - firstRow < LogFile::kHoldAtMostMs) {
    ASSERT_EQ(linesOf(logPath()).size(), kHeaderLines) << "at " << now() - firstRow << " ms";
    tick();
  }
  const std::size_t written = linesOf(logPath()).size() - kHeaderLines;
  EXPECT_GE(written, 8u) << "every row held goes with the one that was due";

  // When the replies stop, the first tick after the last row has waited a
  // second brings it to the file.
  tick();
  const long long lastRow = now();
  controller().faults().silent = true;
  while (now() - lastRow < LogFile::kHoldAtMostMs) {
    ASSERT_EQ(linesOf(logPath()).size(), kHeaderLines + written);
    tick();
  }
  tick();
  EXPECT_EQ(linesOf(logPath()).size(), kHeaderLines + written + 1);
}

struct WayOut {
  const char* name;
  std::function<void(Program&)> take;
};

class NothingLeftInMemoryTest : public DataLogTest, public ::testing::WithParamInterface<WayOut> {};

TEST_P(NothingLeftInMemoryTest, WhenCommunicationStopsOrTheProgramEnds) {
  connectAndReadAll();
  startLog(logPath());
  tick(2);
  ASSERT_EQ(linesOf(logPath()).size(), kHeaderLines);
  try {
    GetParam().take(program());
  } catch (const ProcessExit&) {
  }
  EXPECT_EQ(linesOf(logPath()).size(), kHeaderLines + 2);
}

INSTANTIATE_TEST_SUITE_P(Ways, NothingLeftInMemoryTest,
                         ::testing::Values(WayOut{"Halt", Halt_CommClick},
                                           WayOut{"SetFileTransfer", [](Program& p) { OpenForFileTransfer(p); }},
                                           WayOut{"Exit", Exit2Click}, WayOut{"WindowClosed", FormOnClose},
                                           WayOut{"PortCannotBeOpened",
                                                  [](Program& p) {
                                                    p.SelectedPort = 2;  // there is no Com2
                                                    Begin_CommClick(p);
                                                  }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataLogTest, TheLogMenuMarkersAndTheFolderOfTheLastLog) {
  expectLogMenu(false);
  w().Startlogging1.click();  // cancelled
  ASSERT_EQ(desktop().dialogs.size(), 1u);
  EXPECT_TRUE(desktop().dialogs[0].save);
  EXPECT_EQ(desktop().dialogs[0].defaultExtension, "msl");
  const fs::path proposed = desktop().dialogs[0].initialName;
  EXPECT_EQ(proposed.parent_path(), homeFolder());
  EXPECT_EQ(proposed.filename().string().size(), std::string("korvane-20240301-090502.msl").size());
  EXPECT_TRUE(proposed.filename().string().starts_with("korvane-20")) << proposed;
  expectLogMenu(false);

  connectAndReadAll();
  fs::create_directory(logPath("logs"));
  startLog(logPath("logs") / "first.msl");
  expectLogMenu(true);
  tick();
  w().Mark1.click();
  w().Mark1.click();
  tick();
  w().Stoplogging1.click();
  expectLogMenu(false);
  const auto lines = linesOf(logPath("logs") / "first.msl");
  ASSERT_EQ(lines.size(), kHeaderLines + 4);
  EXPECT_EQ(lines[kHeaderLines + 1], "MARK 001");
  EXPECT_EQ(lines[kHeaderLines + 2], "MARK 002");

  startLog(logPath("second.msl"));
  EXPECT_EQ(fs::path(desktop().dialogs.back().initialName).parent_path(), logPath("logs"));
  w().Mark1.click();
  w().Stoplogging1.click();
  EXPECT_EQ(linesOf(logPath("second.msl")).back(), "MARK 001") << "each log counts its own";
}

TEST_F(DataLogTest, AFileThatCannotBeWrittenIsNamedAndNoLogRuns) {
  for (const auto& [path, message] :
       {std::pair{logPath("missing") / "x.msl", "The log " + (logPath("missing") / "x.msl").string() +
                                                    " could not be created (No such file or "
                                                    "directory)."},
        std::pair{fs::path("/dev/full"), std::string("The log /dev/full could not be written (No space left on "
                                                     "device). Logging has stopped; the rows written before are in "
                                                     "the file.")}}) {
    desktop().messages.clear();
    startLog(path);
    EXPECT_EQ(desktop().messageTexts(), std::vector<std::string>{message});
    EXPECT_EQ(desktop().messages[0].caption, "ERROR");
    expectLogMenu(false);
  }
}

}  // namespace
}  // namespace korvane
