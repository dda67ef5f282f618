// Connecting, the full read and live data in real time against korvane-sim
// misbehaving on the line in each of its ways: replies that never make
// sense, that come late, in two pieces, or drowned in a flood. Whatever the
// line does, the program keeps going, tells the user what its behaviour
// prescribes, and sends the controller nothing beyond the frames of its
// protocol.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/comm_control.h"
#include "support/sim_session.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kNoConnection = "Failure to connect to attached controller (Non Response)";
constexpr const char* kNoResponse = "No response from the controller unit";

struct LineFault {
  const char* name;
  std::vector<std::string> args;
};

void PrintTo(const LineFault& f, std::ostream* os) { *os << f.name; }

std::string faultName(const ::testing::TestParamInfo<LineFault>& info) { return info.param.name; }

// Connects and runs until the first message box, or fails the test.
void connectUntilAMessage(SimSession& s) {
  Begin_CommClick(s.program());
  ASSERT_TRUE(s.program().ControllerPort.IsOpen);
  ASSERT_TRUE(s.tickUntil([&] { return !s.desktop.messages.empty(); }, 8s)) << "no message within 8 s";
}

// --------------------------------------------------- no reply ever makes sense

class NeverConnects : public ::testing::TestWithParam<LineFault> {};

// Six identify polls, each a 125 ms wait and a read that gives up, then the
// attempt is abandoned with the port closed and the window collapsed; the
// program goes on with nothing more on the line.
TEST_P(NeverConnects, GivesUpAfterSixPollsAndSendsNothingMore) {
  SimSession s(KORVANE_SIM_PATH, GetParam().args);
  const long long begun = s.desktop.nowMs();
  ASSERT_NO_FATAL_FAILURE(connectUntilAMessage(s));
  const long long took = s.desktop.messages[0].atMs - begun;
  s.tickFor(400ms);

  EXPECT_EQ(s.desktop.messageTexts(), std::vector<std::string>{kNoConnection});
  EXPECT_EQ(s.desktop.messages[0].caption, "ERROR");
  EXPECT_LE(took, 6 * 230 + 1000);
  EXPECT_EQ(s.program().CommState, CommState::Idle);
  EXPECT_FALSE(s.program().ControllerPort.IsOpen);
  EXPECT_EQ(s.w().height(), kCollapsedHeight);
  EXPECT_TRUE(s.w().Begin_Comm.enabled());
  EXPECT_EQ(s.w().FW_Rev.text(), "Unknown");
  const SimReport& report = s.report(100ms);
  EXPECT_EQ(report.acted, std::vector<Bytes>(6, frame('R')));
  EXPECT_EQ(report.discardedBytes, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, NeverConnects,
    ::testing::Values(LineFault{"RandomGarbageBefore", {"--garbage", "before"}},
                      LineFault{"RandomGarbageAfter", {"--garbage", "after", "--seed", "7"}},
                      // Junk that starts like an identify reply is still too short to be one.
                      LineFault{"GarbageInstead", {"--garbage", "instead", "--junk", "020552"}},
                      // The second half comes after the read; the next read joins it to the next reply.
                      LineFault{"SplitPastTheWait", {"--split", "150"}},
                      // Every read brings 100 bytes, a length no reply has.
                      LineFault{"FloodFromTheStart", {"--flood-after", "0"}}),
    faultName);

// ------------------------------------------------ the full read is cut short

struct CutShort {
  LineFault fault;
  int failingCell;  // the cell whose request goes unanswered
  bool liveData;    // whether live data gets through afterwards
};

void PrintTo(const CutShort& c, std::ostream* os) { *os << c.fault.name; }

class FullReadCutShort : public ::testing::TestWithParam<CutShort> {};

// The controller identified itself and sent its configuration, but a cell's
// reply did not come whole within its read: one message, no further cell
// request, the cells read so far kept, the rest blank and marked, and live
// polling from then on.
TEST_P(FullReadCutShort, StopsAtTheCellThenPollsLiveData) {
  const CutShort& c = GetParam();
  std::vector<std::string> args = c.fault.args;
  args.insert(args.end(), {"--gains", "100"});
  SimSession s(KORVANE_SIM_PATH, args);
  ASSERT_NO_FATAL_FAILURE(connectUntilAMessage(s));
  EXPECT_EQ(s.program().CommState, CommState::Monitoring);
  const std::string noSpeedYet = s.w().rpm_dpy.text();
  const bool live = s.tickUntil([&] { return s.w().rpm_dpy.text() != noSpeedYet; }, 1500ms);
  s.tickFor(300ms);

  EXPECT_EQ(s.desktop.messageTexts(), std::vector<std::string>{kNoResponse});
  EXPECT_EQ(live, c.liveData);
  EXPECT_EQ(s.program().CommState, CommState::Monitoring);
  EXPECT_EQ(s.w().FW_Rev.text(), "v1.02.74");
  EXPECT_EQ(s.w().Fuel_mx.text(), "10.240");
  EXPECT_EQ(s.w().Fuel_mx.colour(), kWhite);
  for (int i = 0; i < 128; ++i) {
    const Field& cell = *s.w().GainCells[static_cast<std::size_t>(i)];
    if (i < c.failingCell) {
      EXPECT_EQ(cell.text(), ".78") << cell.name();
      EXPECT_EQ(cell.colour(), kWhite) << cell.name();
    } else if (i > c.failingCell) {
      EXPECT_EQ(cell.text(), "") << cell.name();
      EXPECT_EQ(cell.colour(), kYellow) << cell.name();
    }
  }

  const SimReport& report = s.report(100ms);
  const std::string expected = "RC" + std::string(static_cast<std::size_t>(c.failingCell) + 1, 'E');
  const std::string letters = lettersOf(report.acted);
  ASSERT_EQ(letters.substr(0, expected.size()), expected);
  EXPECT_EQ(letters.find_first_not_of('A', expected.size()), std::string::npos) << "only live polls after the read";
  EXPECT_GE(letters.size(), expected.size() + 3);
  for (int i = 0; i <= c.failingCell; ++i) {
    EXPECT_EQ(report.acted[static_cast<std::size_t>(2 + i)], frame('E', static_cast<std::uint8_t>(i), 1, 32));
  }
  EXPECT_EQ(report.discardedBytes, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FullReadCutShort,
    ::testing::Values(
        // 150 ms late: inside the 125 + 105 ms of an exchange, past the 25 + 105 ms of a cell read.
        CutShort{{"LateForTheCells", {"--late", "150"}}, 0, true},
        // Halves 40 ms apart: whole after an exchange's 125 ms wait, in two reads after a cell's 25 ms.
        CutShort{{"SplitForTheCells", {"--split", "40"}}, 0, true},
        // Junk pours out from the 40th frame on, the request for cell 37, and never stops.
        CutShort{{"FloodDuringTheCells", {"--flood-after", "40"}}, 37, false},
        CutShort{{"DeadCell", {"--dead-cell", "30"}}, 30, true}),
    [](const auto& info) { return std::string(info.param.fault.name); });

}  // namespace
}  // namespace korvane::testing
