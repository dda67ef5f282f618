// SerialPort's Open steps, drain and transfer results against a backend that
// can be told to fail at any step.
#include "link/serial_port.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/recording_desktop.h"

namespace korvane {
namespace {

// What the backends of one test did, and where they fail. Reads bring
// nothing, or one byte each on an `endless` line (advancing `clock` by 1 ms
// when one is given).
struct FakeLine {
  std::string failAt;
  std::vector<std::string> calls;
  LineSettings lineGiven;
  Timeouts timeoutsGiven;
  bool endless = false;
  testing::RecordingDesktop* clock = nullptr;
  int reads = 0;
};

class FakeBackend : public SerialBackend {
 public:
  explicit FakeBackend(FakeLine& line) : line_(line) {}
  bool open(const std::string& name) override { return step("open " + name, "open"); }
  bool setQueues(int in, int out) override { return step("queues", "setQueues") && in == 2048 && out == 2048; }
  bool getLineSettings(LineSettings&) override { return step("getLine", "getLineSettings"); }
  bool setLineSettings(const LineSettings& s) override {
    return (line_.lineGiven = s, step("setLine", "setLineSettings"));
  }
  bool getTimeouts(Timeouts&) override { return step("getTimeouts", "getTimeouts"); }
  bool setTimeouts(const Timeouts& t) override { return (line_.timeoutsGiven = t, step("setTimeouts", "setTimeouts")); }
  int read(std::uint8_t* buffer, int count) override {
    ++line_.reads;
    if (!line_.endless || count < 1) return 0;
    if (line_.clock) line_.clock->clock.advance(1);
    buffer[0] = 0x55;
    return 1;
  }
  int write(const std::uint8_t*, int count) override { return count; }
  void close() override { line_.calls.push_back("close"); }

 private:
  bool step(const std::string& call, const char* name) {
    line_.calls.push_back(call);
    return line_.failAt != name;
  }
  FakeLine& line_;
};

class SerialPortSteps : public ::testing::Test {
 protected:
  SerialPortSteps() { port.BaudRate = 19200; }
  testing::RecordingDesktop desktop;
  FakeLine line;
  int backendsMade = 0;
  SerialPort port{desktop, [this] {
                    ++backendsMade;
                    return std::make_unique<FakeBackend>(line);
                  }};
};

struct StepFailure {
  const char* step;
  const char* message;
  std::size_t callsMade;  // up to and including the failing step
};

class FailingStep : public SerialPortSteps, public ::testing::WithParamInterface<StepFailure> {};

TEST_P(FailingStep, ShowsItsMessageAndLeavesThePortClosed) {
  line.failAt = GetParam().step;
  EXPECT_FALSE(port.Open());
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].text, GetParam().message);
  EXPECT_EQ(desktop.messages[0].caption, "ERROR");
  EXPECT_FALSE(port.IsOpen);
  EXPECT_EQ(line.calls.size(), GetParam().callsMade);
  EXPECT_EQ(port.holdsHandle(), GetParam().callsMade > 1);
  port.Close();
  EXPECT_FALSE(port.holdsHandle());
  EXPECT_EQ(line.calls.back() == "close", GetParam().callsMade > 1);
}

INSTANTIATE_TEST_SUITE_P(Steps, FailingStep,
                         ::testing::Values(StepFailure{"open", "Bad ComPort", 1},
                                           StepFailure{"setQueues", "Couldnt set com buffer size", 2},
                                           StepFailure{"getLineSettings", "Control block param = 0", 3},
                                           StepFailure{"setLineSettings", "control block State = 0", 4}));

TEST_F(SerialPortSteps, TimeoutFailuresAreIgnoredAndTheTimeoutsStillSet) {
  for (const char* step : {"getTimeouts", "setTimeouts"}) {
    line.failAt = step;
    line.timeoutsGiven = {};
    EXPECT_TRUE(port.Open()) << step;
    EXPECT_TRUE(port.IsOpen);
    const Timeouts& t = line.timeoutsGiven;
    EXPECT_EQ(std::vector<int>({t.readInterval, t.readTotalMultiplier, t.readTotalConstant, t.writeTotalMultiplier,
                                t.writeTotalConstant}),
              std::vector<int>({5, 1, 5, 1, 5}));
  }
  EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(SerialPortSteps, LineSettingsComeFromTheFieldsNarrowedToOneByte) {
  port.PortNumber = 255;
  port.ByteSize = 0x108;
  port.Parity = 0x100;
  port.StopBits = 0x200;
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(line.calls[0], "open Com255");
  const LineSettings& s = line.lineGiven;
  EXPECT_EQ(std::vector<int>({s.baudRate, s.byteSize, s.parity, s.stopBits}), std::vector<int>({19200, 8, 0, 0}));
  EXPECT_TRUE(s.abortOnError);
}

TEST_F(SerialPortSteps, ReopeningReleasesTheDeviceHeldBefore) {
  ASSERT_TRUE(port.Open());
  const std::size_t before = line.calls.size();
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(line.calls[before], "close");
  port.PortNumber = 256;
  EXPECT_FALSE(port.Open());
  EXPECT_FALSE(port.IsOpen);
  EXPECT_EQ(backendsMade, 2);
}

TEST_F(SerialPortSteps, DrainOfALineThatNeverGoesQuietIsBounded) {
  line.endless = true;
  ASSERT_TRUE(port.Open());  // bounded by bytes: the clock does not move
  const int reads = line.reads;
  EXPECT_LE(reads, 4096);

  line.clock = &desktop;
  ASSERT_TRUE(port.Open());  // bounded by time: one millisecond per byte
  EXPECT_LE(line.reads - reads, 201);
  EXPECT_LE(desktop.clock.now(), 201);
}

}  // namespace
}  // namespace korvane
