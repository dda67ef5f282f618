// The line dropped in the middle of each long operation: korvane-sim answers
// a number of frames, then hangs up the pseudo-terminal and ends, as a
// controller whose cable is pulled. The program says what its behaviour
// prescribes, writes no partial file, sends nothing the controller acts on
// beyond what it should, and keeps running on the dead line without waiting
// out read time-outs there.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "comm/comm_control.h"
#include "comm/upload.h"
#include "setfile/set_file_transfer.h"
#include "support/sim_session.h"
#include "support/tune_file.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kNoResponse = "No response from the controller unit";
constexpr const char* kNoData = "Controller did not respond with requested data";

std::vector<Bytes> cellRequests(int first, int count) {
  std::vector<Bytes> frames;
  for (int i = first; i < first + count; ++i) frames.push_back(frame('E', static_cast<std::uint8_t>(i), 1, 32));
  return frames;
}

// After the line is gone the program goes on polling it: four ticks, each a
// write that fails, the 125 ms wait and a read that fails at once. A read
// that waited out its time-out on the dead line would make each tick 230 ms.
void keepsRunningOnTheDeadLine(SimSession& s) {
  ASSERT_TRUE(s.waitForDrop(3s)) << "korvane-sim did not hang up";
  const std::size_t messages = s.desktop.messages.size();
  int ticks = 0;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(s.tickUntil([&] { return ticks++ == 4; }, 3s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 4 * 125ms + 300ms);
  EXPECT_EQ(s.desktop.messages.size(), messages) << "a dead line is no reason for a message";
}

TEST(DroppedLine, DuringTheFullReadStopsAtTheCellAndPollsOn) {
  SimSession s(KORVANE_SIM_PATH, {"--drop-after", "20", "--gains", "100"});
  Begin_CommClick(s.program());
  ASSERT_TRUE(s.tickUntil([&] { return !s.desktop.messages.empty(); }, 8s));
  ASSERT_NO_FATAL_FAILURE(keepsRunningOnTheDeadLine(s));

  EXPECT_EQ(s.desktop.messageTexts(), std::vector<std::string>{kNoResponse});
  EXPECT_EQ(s.program().CommState, CommState::Monitoring);
  for (int i = 0; i < 128; ++i) {
    const Field& cell = *s.w().GainCells[static_cast<std::size_t>(i)];
    EXPECT_EQ(cell.text(), i < 18 ? ".78" : "") << cell.name();
    EXPECT_EQ(cell.colour(), i < 18 ? kWhite : kYellow) << cell.name();
  }
  const SimReport& report = s.report();
  std::vector<Bytes> acted{frame('R'), frame('C')};
  for (const Bytes& f : cellRequests(0, 18)) acted.push_back(f);
  EXPECT_EQ(report.acted, acted);
  // The request left unanswered, then only live polls until the hang-up.
  ASSERT_FALSE(report.ignored.empty());
  EXPECT_EQ(report.ignored[0], frame('E', 18, 1, 32));
  EXPECT_EQ(lettersOf(report.ignored).find_first_not_of('A', 1), std::string::npos) << lettersOf(report.ignored);
}

// The upload sends on after the line has gone (nothing tells it), but the
// fields the controller never echoed keep their mark, to be sent again.
TEST(DroppedLine, DuringTheUploadLeavesTheUnconfirmedFieldsMarked) {
  SimSession s(KORVANE_SIM_PATH, {"--drop-after", "6"});
  Begin_CommClick(s.program());
  TFrm_Mapping& w = s.w();
  w.Fuel_mx.setText("25");
  for (int i = 0; i < 10; ++i) w.GainCells[static_cast<std::size_t>(i)]->setText("1.50");
  w.Rate_Cut.setText("30");
  w.Inj_Inhibit.setText("100");
  Button1Click(s.program());
  ASSERT_NO_FATAL_FAILURE(keepsRunningOnTheDeadLine(s));

  EXPECT_TRUE(s.desktop.messages.empty()) << s.desktop.messages.front().text;
  EXPECT_EQ(s.program().CommState, CommState::Monitoring);
  EXPECT_EQ(w.Fuel_mx.colour(), kWhite);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(w.GainCells[static_cast<std::size_t>(i)]->colour(), i < 5 ? kWhite : kYellow) << i;
    EXPECT_EQ(w.GainCells[static_cast<std::size_t>(i)]->text(), "1.50") << i;
  }
  EXPECT_EQ(w.Rate_Cut.colour(), kYellow);
  EXPECT_EQ(w.Inj_Inhibit.colour(), kYellow);

  std::vector<Bytes> upload{frame('m', 244)};
  for (int i = 0; i < 10; ++i) upload.push_back(frame('e', static_cast<std::uint8_t>(i), 1, 192));
  upload.push_back(frame('z', 30));
  upload.push_back(frame('u', 30));
  const SimReport& report = s.report();
  EXPECT_EQ(report.acted, std::vector<Bytes>(upload.begin(), upload.begin() + 6));
  // What reached the line while it went down is the upload's next frames,
  // unchanged.
  ASSERT_FALSE(report.ignored.empty());
  ASSERT_LE(report.ignored.size(), upload.size() - 6);
  EXPECT_EQ(report.ignored, std::vector<Bytes>(upload.begin() + 6, upload.begin() + 6 + report.ignored.size()));
}

struct SaveTarget {
  const char* name;
  bool exists;
};

void PrintTo(const SaveTarget& t, std::ostream* os) { *os << t.name; }

class DroppedDuringTheSave : public ::testing::TestWithParam<SaveTarget> {};

// The save reads everything before it asks for a file: cut short, it asks
// for none and writes none, and a file already there keeps its content.
TEST_P(DroppedDuringTheSave, AsksForNoFileAndWritesNone) {
  SimSession s(KORVANE_SIM_PATH, {"--drop-after", "30"});
  TempDir files;
  const auto target = files.path() / "tune.set";
  if (GetParam().exists) std::ofstream(target) << "the only copy of a tune\n";
  s.desktop.saveAnswers.push_back(target.string());
  GetDataFromController(s.program());
  ASSERT_NO_FATAL_FAILURE(keepsRunningOnTheDeadLine(s));

  ASSERT_EQ(s.desktop.messageTexts(), std::vector<std::string>{kNoData});
  EXPECT_EQ(s.desktop.messages[0].caption, "ERROR!");
  EXPECT_TRUE(s.desktop.dialogs.empty());
  EXPECT_TRUE(s.w().Begin_Comm.visible());
  EXPECT_TRUE(s.w().Halt_Comm.visible());
  if (GetParam().exists) {
    EXPECT_EQ(entriesOf(files.path()), std::vector<std::string>{"tune.set"});
    EXPECT_EQ(contentsOf(target), "the only copy of a tune\n");
  } else {
    EXPECT_TRUE(entriesOf(files.path()).empty());
  }
  const SimReport& report = s.report();
  std::vector<Bytes> acted{frame('C')};
  for (const Bytes& f : cellRequests(0, 29)) acted.push_back(f);
  EXPECT_EQ(report.acted, acted);
  ASSERT_FALSE(report.ignored.empty());
  EXPECT_EQ(report.ignored[0], frame('E', 29, 1, 32)) << "no request after the unanswered cell";
  EXPECT_EQ(lettersOf(report.ignored).find_first_not_of('A', 1), std::string::npos) << lettersOf(report.ignored);
}

INSTANTIATE_TEST_SUITE_P(Targets, DroppedDuringTheSave,
                         ::testing::Values(SaveTarget{"ExistingFile", true}, SaveTarget{"NoFile", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The load goes through its file to the end; every line after the drop is
// counted as not confirmed, and what the controller acted on is the file's
// first lines, exactly.
TEST(DroppedLine, DuringTheLoadCountsTheUnconfirmedLines) {
  SimSession s(KORVANE_SIM_PATH, {"--drop-after", "14"});
  const TuneFile file = tuneFile(16);
  const auto source = s.dir.path() / "tune.set";
  std::ofstream(source) << file.text;
  s.desktop.openAnswers.push_back(source.string());
  Putdataincontroller1Click(s.program());
  ASSERT_TRUE(s.waitForDrop(3s));

  EXPECT_EQ(s.desktop.messageTexts(),
            std::vector<std::string>{"13 command(s) of the set file were not confirmed by the controller. "
                                     "Read the controller to check its settings."});
  EXPECT_EQ(s.w().stat.text(), "Downloading controller 19.3 %");
  EXPECT_TRUE(s.w().Begin_Comm.visible());
  EXPECT_TRUE(s.w().Begin_Comm.enabled());
  EXPECT_EQ(s.program().CommState, CommState::Idle);
  s.tickFor(300ms);
  EXPECT_EQ(s.desktop.messages.size(), 1u);

  const SimReport& report = s.report();
  EXPECT_EQ(report.acted, std::vector<Bytes>(file.frames.begin(), file.frames.begin() + 14));
  ASSERT_FALSE(report.ignored.empty());
  ASSERT_LE(report.ignored.size(), file.frames.size() - 14);
  EXPECT_EQ(report.ignored,
            std::vector<Bytes>(file.frames.begin() + 14, file.frames.begin() + 14 + report.ignored.size()));
}

}  // namespace
}  // namespace korvane::testing
