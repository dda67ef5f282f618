// Saving and loading set files in real time against korvane-sim misbehaving
// on the line: a save that cannot read the whole controller writes nothing
// and leaves the file that was there; a load goes through its file, sends
// every line exactly as written and counts the lines the controller did not
// confirm.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "setfile/set_file_transfer.h"
#include "support/sim_session.h"
#include "support/tune_file.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

struct Fault {
  const char* name;
  std::vector<std::string> args;
  std::string acted;  // letters of the frames the controller acted on
};

void PrintTo(const Fault& f, std::ostream* os) { *os << f.name; }

std::string faultName(const ::testing::TestParamInfo<Fault>& info) { return info.param.name; }

// ------------------------------------------------------------------ saving

class SaveOverAFaultyLine : public ::testing::TestWithParam<Fault> {};

TEST_P(SaveOverAFaultyLine, WritesNothingAndKeepsTheFileThatWasThere) {
  SimSession s(KORVANE_SIM_PATH, GetParam().args);
  TempDir files;
  const auto target = files.path() / "tune.set";
  std::ofstream(target) << "the only copy of a tune\n";
  s.desktop.saveAnswers.push_back(target.string());
  GetDataFromController(s.program());
  s.tickFor(300ms);

  ASSERT_EQ(s.desktop.messageTexts(), std::vector<std::string>{"Controller did not respond with requested data"});
  EXPECT_EQ(s.desktop.messages[0].caption, "ERROR!");
  EXPECT_TRUE(s.desktop.dialogs.empty());
  EXPECT_TRUE(s.w().Begin_Comm.visible());
  EXPECT_TRUE(s.w().Halt_Comm.visible());
  EXPECT_EQ(entriesOf(files.path()), std::vector<std::string>{"tune.set"}) << "no temporary file is left";
  EXPECT_EQ(contentsOf(target), "the only copy of a tune\n");

  // The cell requests in order up to the one that failed, then at most live
  // polls (once the configuration came, the program monitors).
  const SimReport& report = s.report(100ms);
  const std::string& expected = GetParam().acted;
  const std::string letters = lettersOf(report.acted);
  ASSERT_EQ(letters.substr(0, expected.size()), expected);
  EXPECT_EQ(letters.find_first_not_of('A', expected.size()), std::string::npos) << letters;
  for (std::size_t i = 1; i < expected.size(); ++i) {
    EXPECT_EQ(report.acted[i], frame('E', static_cast<std::uint8_t>(i - 1), 1, 32));
  }
  EXPECT_EQ(report.discardedBytes, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveOverAFaultyLine,
    ::testing::Values(Fault{"Silent", {"--silent"}, "C"}, Fault{"Garbled", {"--garbage", "after"}, "C"},
                      // The configuration comes within the exchange's reads, the cell after its read.
                      Fault{"LateForTheCells", {"--late", "200"}, "CE"},
                      Fault{"SplitForTheCells", {"--split", "40"}, "CE"},
                      // The flood starts with the request for cell 8 and drowns its reply.
                      Fault{"FloodDuringTheCells", {"--flood-after", "10"}, "C" + std::string(9, 'E')},
                      Fault{"DeadCell", {"--dead-cell", "5"}, "C" + std::string(6, 'E')}),
    faultName);

// ----------------------------------------------------------------- loading

struct LoadFault {
  Fault fault;
  int unconfirmed;
};

void PrintTo(const LoadFault& f, std::ostream* os) { *os << f.fault.name; }

class LoadOverAFaultyLine : public ::testing::TestWithParam<LoadFault> {};

TEST_P(LoadOverAFaultyLine, SendsEveryLineAsWrittenAndCountsTheUnconfirmed) {
  SimSession s(KORVANE_SIM_PATH, GetParam().fault.args);
  const TuneFile file = tuneFile(6);
  const auto source = s.dir.path() / "tune.set";
  std::ofstream(source) << file.text;
  s.desktop.openAnswers.push_back(source.string());
  Putdataincontroller1Click(s.program());
  s.tickFor(300ms);

  EXPECT_EQ(s.desktop.messageTexts(),
            std::vector<std::string>{std::to_string(GetParam().unconfirmed) +
                                     " command(s) of the set file were not confirmed by the controller. "
                                     "Read the controller to check its settings."});
  EXPECT_EQ(s.desktop.messages[0].caption, "ERROR!");
  EXPECT_EQ(s.w().stat.text(), "Downloading controller 12.1 %");
  EXPECT_TRUE(s.w().Begin_Comm.visible());
  EXPECT_EQ(s.program().CommState, CommState::Idle);
  const SimReport& report = s.report(100ms);
  EXPECT_EQ(report.acted, file.frames);
  EXPECT_EQ(report.discardedBytes, 0u);
}

INSTANTIATE_TEST_SUITE_P(Faults, LoadOverAFaultyLine,
                         ::testing::Values(LoadFault{{"Silent", {"--silent"}, ""}, 17},
                                           LoadFault{{"Garbled", {"--garbage", "before"}, ""}, 17},
                                           // Parameter echoes come within their exchange; gain echoes after their
                                           // reads, each into the next line's read, where it confirms nothing.
                                           LoadFault{{"LateEchoes", {"--late", "150"}, ""}, 6},
                                           LoadFault{{"SplitEchoes", {"--split", "40"}, ""}, 6},
                                           LoadFault{{"FloodFromTheStart", {"--flood-after", "0"}, ""}, 17}),
                         [](const auto& info) { return std::string(info.param.fault.name); });

}  // namespace
}  // namespace korvane::testing
