// SerialPort's Open steps, drain and transfer results against a memory line
// that can be told to fail at any step.
#include "serial/serial_port.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/memory_line.h"

namespace korvane {
namespace {

using testing::Bytes;
using testing::MemoryLine;
using testing::OpenStep;

std::vector<int> fieldsOf(const Timeouts& t) {
  return {t.readInterval, t.readTotalMultiplier, t.readTotalConstant, t.writeTotalMultiplier, t.writeTotalConstant};
}

const std::vector<int> kToolTimeouts = {5, 1, 5, 1, 5};

class SerialPortSteps : public ::testing::Test {
 protected:
  SerialPortSteps() {
    line.useClock(desktop.clock);
    port.BaudRate = 19200;
  }
  testing::RecordingDesktop desktop;
  MemoryLine line;
  SerialPort port{desktop, line.factory()};
};

struct StepFailure {
  OpenStep step;
  const char* message;     // none: the port opens all the same
  std::size_t stepsTaken;  // up to and including the failing step
};

void PrintTo(const StepFailure& f, std::ostream* os) { *os << "step " << static_cast<int>(f.step); }

class FailingStep : public SerialPortSteps, public ::testing::WithParamInterface<StepFailure> {};

TEST_P(FailingStep, StopsTheOpenWithItsMessageUnlessItIsATimeoutStep) {
  const StepFailure& f = GetParam();
  line.failStep = f.step;
  if (!f.message) {
    // The time-outs are set even when the current ones cannot be read, and a
    // failure to set them is not reported.
    EXPECT_TRUE(port.Open());
    EXPECT_TRUE(port.IsOpen);
    EXPECT_EQ(fieldsOf(line.timeouts()), kToolTimeouts);
    EXPECT_EQ(line.steps().size(), f.stepsTaken);
    EXPECT_TRUE(desktop.messages.empty());
    return;
  }
  EXPECT_FALSE(port.Open());
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, f.message);
  EXPECT_EQ(desktop.messages[0].caption, "ERROR");
  EXPECT_FALSE(port.IsOpen);
  EXPECT_EQ(line.steps().size(), f.stepsTaken);
  EXPECT_EQ(port.holdsHandle(), f.stepsTaken > 1);
  port.Close();
  EXPECT_FALSE(port.holdsHandle());
  EXPECT_FALSE(line.held());
  EXPECT_EQ(line.closes(), f.stepsTaken > 1 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Steps, FailingStep,
                         ::testing::Values(StepFailure{OpenStep::Open, "Bad ComPort", 1},
                                           StepFailure{OpenStep::Queues, "Couldnt set com buffer size", 2},
                                           StepFailure{OpenStep::GetLineSettings, "Control block param = 0", 3},
                                           StepFailure{OpenStep::SetLineSettings, "control block State = 0", 4},
                                           StepFailure{OpenStep::GetTimeouts, nullptr, 6},
                                           StepFailure{OpenStep::SetTimeouts, nullptr, 6}));

TEST_F(SerialPortSteps, LineSettingsComeFromTheFieldsNarrowedToOneByte) {
  MemoryLine com255("Com255");  // opens under no other name
  SerialPort wide{desktop, com255.factory()};
  wide.BaudRate = 19200;
  wide.PortNumber = 255;
  wide.ByteSize = 0x108;
  wide.Parity = 0x100;
  wide.StopBits = 0x200;
  ASSERT_TRUE(wide.Open());
  const LineSettings& s = com255.lineSettings();
  EXPECT_EQ(std::vector<int>({s.baudRate, s.byteSize, s.parity, s.stopBits}), std::vector<int>({19200, 8, 0, 0}));
  EXPECT_TRUE(s.abortOnError);
}

TEST_F(SerialPortSteps, ReopeningReleasesTheDeviceHeldBefore) {
  ASSERT_TRUE(port.Open());
  ASSERT_TRUE(port.Open()) << "the device is opened for exclusive use";
  EXPECT_EQ(line.closes(), 1);
  port.PortNumber = 256;
  EXPECT_FALSE(port.Open());
  EXPECT_FALSE(port.IsOpen);
  EXPECT_EQ(line.backendsMade(), 2);
}

// A line that never goes quiet: bytes that all wait at once are read without
// the clock moving, so the drain is bounded by bytes; bytes that trickle in
// one a millisecond bound it by time.
TEST_F(SerialPortSteps, DrainOfALineThatNeverGoesQuietIsBounded) {
  line.detachController();
  line.arrive(0, Bytes(5000, 0x55));
  ASSERT_TRUE(port.Open());
  EXPECT_LE(line.reads(), 4096);

  MemoryLine trickle;
  trickle.useClock(desktop.clock);
  trickle.detachController();
  for (int t = 0; t < 1000; ++t) trickle.arrive(t, {0x55});
  SerialPort other{desktop, trickle.factory()};
  other.BaudRate = 19200;
  ASSERT_TRUE(other.Open());
  EXPECT_LE(trickle.reads(), 201);
  EXPECT_LE(desktop.clock.now(), 201);
}

}  // namespace
}  // namespace korvane
