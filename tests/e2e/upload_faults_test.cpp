// The upload in real time against a controller whose echoes come late, after
// the read meant for them: each lands in a later command's read, where it
// must not pass for that command's echo.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "comm/comm_control.h"
#include "comm/upload.h"
#include "link/command.h"
#include "link/reply_decoder.h"
#include "support/sim_session.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

// The rev limiter goes to the controller as a fraction of the full scale and
// the cut pressure as a fraction of the MAP range. When the new full scale or
// range has not been echoed, neither is sent: encoded against the old full
// scale, a 4997 RPM limit would land at 6663 RPM on the controller.
TEST(LateEchoes, HoldBackWhatDependsOnAnUnconfirmedFullScaleOrRange) {
  SimSession s(KORVANE_SIM_PATH, {"--late", "260"});
  Program& p = s.program();
  Begin_CommClick(p);
  // The configuration, taken the slow way: its reply comes after the
  // exchange's read has given up.
  SendCommand(p, makeCommand('C'));
  std::this_thread::sleep_for(200ms);
  DecodeReply(p);
  ASSERT_EQ(p.CommState, CommState::Monitoring);
  ASSERT_EQ(p.ControllerSettings.FullScaleRpm, 6000);
  ASSERT_EQ(s.w().max_rpm.text(), "4997");

  s.w().Fuel_mx.setText("25");
  s.w().FS_RPM.setText("8000");
  s.w().map_type_2.click();
  s.w().Min_Pressure.setText("100");
  Button1Click(p);

  EXPECT_EQ(s.desktop.messageTexts(),
            (std::vector<std::string>{
                "The Full Scale RPM was not confirmed by the controller, the Rev Limiter will not be updated",
                "The MAP sensor range was not confirmed by the controller, the Cut Fuel Below pressure will not be "
                "updated"}));
  EXPECT_EQ(s.w().max_rpm.colour(), kYellow);
  EXPECT_EQ(s.w().Min_Pressure.colour(), kYellow);
  EXPECT_EQ(p.CommState, CommState::Monitoring);
  const SimReport& report = s.report(300ms);
  EXPECT_EQ(report.acted, (std::vector<Bytes>{frame('C'), frame('m', 244), frame('q', 39, 9), frame('v', 1)}));
}

}  // namespace
}  // namespace korvane::testing
