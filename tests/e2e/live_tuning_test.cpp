// A tuning session in real time: the real serial port on a pseudo-terminal
// served by korvane-sim, the program driven from Begin_Comm through the full
// read, live data, an upload and Halt_Comm, and the frames the emulator says
// it received.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/startup.h"
#include "comm/comm_control.h"
#include "comm/full_read.h"
#include "comm/upload.h"
#include "link/command.h"
#include "support/sim_session.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

class LiveTuning : public ::testing::Test {
 public:
  void start(std::vector<std::string> simArgs) {
    session = std::make_unique<SimSession>(KORVANE_SIM_PATH, std::move(simArgs));
  }

  Program& program() { return session->program(); }
  TFrm_Mapping& w() { return session->w(); }
  RealTimeDesktop& desktop() { return session->desktop; }
  const std::vector<Bytes>& received() { return session->report(300ms).acted; }

  std::unique_ptr<SimSession> session;
};

TEST_F(LiveTuning, ConnectReadMonitorUploadAndHalt) {
  ASSERT_NO_FATAL_FAILURE(start({"--gains", "100", "--gain", "5=140"}));
  Begin_CommClick(program());
  ASSERT_TRUE(program().ControllerPort.IsOpen);
  EXPECT_EQ(w().height(), kExpandedHeight);

  // The identify poll, then the full read in the next tick.
  session->tickUntil([&] { return program().CommState == CommState::Monitoring; }, 8s);
  ASSERT_EQ(program().CommState, CommState::Monitoring);
  EXPECT_EQ(w().FW_Rev.text(), "v1.02.74");
  EXPECT_EQ(w().Fuel_mx.text(), "10.240");
  EXPECT_EQ(w().GainCells[5]->text(), "1.09");
  for (const auto& cell : w().GainCells) {
    ASSERT_EQ(cell->colour(), kWhite) << cell->name();
    if (cell.get() != w().GainCells[5].get()) {
      ASSERT_EQ(cell->text(), ".78") << cell->name();
    }
  }

  // Live data: the lamp blinks on every reply and the engine speed moves.
  constexpr int kLiveTicks = 12;
  std::vector<Colour> lamp;
  std::set<std::string> speeds;
  int live = 0;
  session->tickUntil(
      [&] {
        if (live > 0) {
          lamp.push_back(w().heartbeat.colour());
          speeds.insert(w().rpm_dpy.text());
        }
        return live++ == kLiveTicks;
      },
      5s);
  ASSERT_EQ(lamp.size(), static_cast<std::size_t>(kLiveTicks));
  for (std::size_t i = 1; i < lamp.size(); ++i) EXPECT_NE(lamp[i], lamp[i - 1]) << "reply " << i;
  EXPECT_GE(speeds.size(), 2u) << "the engine speed did not change";
  EXPECT_NE(w().map_dpy.text(), "");

  // An upload of one parameter and one cell, confirmed by their echoes; the
  // range button the full read checked goes too.
  w().Fuel_mx.setText("25");
  w().GainCells[5]->setText("1.50");
  Button1Click(program());
  EXPECT_EQ(w().Fuel_mx.text(), "24.986");
  EXPECT_EQ(w().Fuel_mx.colour(), kWhite);
  EXPECT_EQ(w().GainCells[5]->colour(), kWhite);

  // Read back from the controller into blanked fields.
  w().Fuel_mx.setText("");
  w().GainCells[5]->setText("");
  SendCommand(program(), makeCommand('C'));
  EXPECT_TRUE(requestGainCell(program(), 5));
  EXPECT_EQ(w().Fuel_mx.text(), "24.986");
  EXPECT_EQ(w().GainCells[5]->text(), "1.50");

  Halt_CommClick(program());
  session->tickFor(300ms);

  EXPECT_FALSE(program().ControllerPort.IsOpen);
  EXPECT_EQ(w().height(), kCollapsedHeight);
  EXPECT_FALSE(w().Gain_Table_Group.visible());
  EXPECT_TRUE(w().Begin_Comm.enabled());
  EXPECT_FALSE(w().Halt_Comm.enabled());
  EXPECT_EQ(program().CommState, CommState::Monitoring);
  EXPECT_TRUE(desktop().messages.empty()) << desktop().messages.front().text;

  ASSERT_EQ(lettersOf(received()), "RC" + std::string(128, 'E') + std::string(kLiveTicks, 'A') + "mev" + "CE");
  const auto& received = this->received();
  EXPECT_EQ(received[0], frame('R'));
  for (int i = 0; i < 128; ++i) EXPECT_EQ(received[2 + i], frame('E', static_cast<std::uint8_t>(i), 1, 32));
  const std::size_t upload = 2 + 128 + kLiveTicks;
  EXPECT_EQ(received[upload], frame('m', 244, 0));
  EXPECT_EQ(received[upload + 1], frame('e', 5, 1, 192));
  EXPECT_EQ(received[upload + 2], frame('v', 0));
  EXPECT_EQ(received.back(), frame('E', 5, 1, 32));
}

TEST_F(LiveTuning, SilentControllerIsGivenUpAfterSixPolls) {
  ASSERT_NO_FATAL_FAILURE(start({"--silent"}));
  Begin_CommClick(program());
  const long long begun = desktop().nowMs();
  session->tickUntil([&] { return !program().ControllerPort.IsOpen; }, 4s);
  session->tickFor(200ms);

  EXPECT_EQ(received(), std::vector<Bytes>(6, frame('R')));
  ASSERT_EQ(desktop().messageTexts(),
            std::vector<std::string>{"Failure to connect to attached controller (Non Response)"});
  // Six exchanges of 125 ms and a read that gives up after about 105 ms.
  const long long took = desktop().messages[0].atMs - begun;
  EXPECT_GE(took, 6 * 230 - 50);
  EXPECT_LE(took, 6 * 230 + 1500);
  EXPECT_EQ(program().CommState, CommState::Idle);
  EXPECT_EQ(w().height(), kCollapsedHeight);
  EXPECT_TRUE(w().Begin_Comm.enabled());
}

}  // namespace
}  // namespace korvane::testing
