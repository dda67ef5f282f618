// The in-memory line: opening, what it records, and the three read
// time-outs in virtual time.
#include "support/memory_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane::testing {
namespace {

Bytes filler(std::size_t n, std::uint8_t first = 0) {
  Bytes bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
  return bytes;
}

// A backend opened on the line with the time-outs the tool sets.
class LineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = line.factory()();
    ASSERT_TRUE(backend->open("Com1"));
    ASSERT_TRUE(backend->setTimeouts({5, 1, 5, 1, 5}));
  }

  // One read of up to `count` bytes; the bytes got, or nothing on failure.
  Bytes read(int count = 100) {
    Bytes buffer(count);
    const int got = backend->read(buffer.data(), count);
    lastResult = got;
    buffer.resize(got > 0 ? got : 0);
    return buffer;
  }

  long long now() { return line.clock().now(); }

  MemoryLine line;
  std::unique_ptr<SerialBackend> backend;
  int lastResult = 0;
};

TEST_F(LineTest, WaitingReplyIsReadWholeFiveMillisecondsAfterTheReadStarts) {
  line.arrive(10, filler(20));
  line.clock().advance(125);
  EXPECT_EQ(read(), filler(20));
  EXPECT_EQ(now(), 130);
}

struct SilentRead {
  int count;
  long long costMs;
};

void PrintTo(const SilentRead& r, std::ostream* os) { *os << r.count << " bytes"; }

class NothingWaiting : public LineTest, public ::testing::WithParamInterface<SilentRead> {};

TEST_P(NothingWaiting, CostsTheTotalTimeOut) {
  line.clock().advance(7);
  EXPECT_TRUE(read(GetParam().count).empty());
  EXPECT_EQ(lastResult, 0) << "a time-out is not a failure";
  EXPECT_EQ(now(), 7 + GetParam().costMs);
}

INSTANTIATE_TEST_SUITE_P(Counts, NothingWaiting,
                         ::testing::Values(SilentRead{1, 6}, SilentRead{6, 11}, SilentRead{100, 105}));

TEST_F(LineTest, ReplyArrivingDuringTheReadIsTakenWhenItComes) {
  line.arrive(40, filler(5));
  EXPECT_EQ(read(), filler(5));
  EXPECT_EQ(now(), 45);
}

TEST_F(LineTest, LateReplyIsMissedByTheReadThatEndedBeforeItAndTakenByTheNext) {
  line.clock().advance(125);
  line.arrive(240, filler(5));
  EXPECT_TRUE(read().empty());
  EXPECT_EQ(now(), 230);
  line.clock().advance(125);
  EXPECT_EQ(read(), filler(5));
  EXPECT_EQ(now(), 360);
}

TEST_F(LineTest, TwoWaitingRepliesComeBackTogether) {
  line.arrive(3, filler(4));
  line.arrive(9, filler(6, 50));
  line.clock().advance(125);
  const Bytes got = read();
  EXPECT_EQ(got.size(), 10u);
  EXPECT_EQ(got[4], 50);
}

TEST_F(LineTest, PiecesWithinTheIntervalMakeOneReadAndAWiderGapTwo) {
  line.arrive(0, filler(10));
  line.arrive(5, filler(10, 10));  // exactly the interval after the first piece
  line.arrive(11, filler(3, 20));  // six after the second
  EXPECT_EQ(read(), filler(20));
  EXPECT_EQ(now(), 10);
  EXPECT_EQ(read(), filler(3, 20));
  EXPECT_EQ(now(), 16);
}

TEST_F(LineTest, ReadReturnsAtOnceWhenItHasAllItAskedFor) {
  line.arrive(0, filler(20));
  EXPECT_EQ(read(5), filler(5));
  EXPECT_EQ(now(), 0);
  EXPECT_EQ(read(), filler(15, 5));
}

TEST_F(LineTest, SteadyTrickleIsCutOffAtTheTotalTimeOut) {
  for (int t = 0; t < 100; t += 2) line.arrive(t, {static_cast<std::uint8_t>(t)});
  EXPECT_EQ(read(10).size(), 8u) << "bytes at 0, 2 ... 14 come within 5 + 10 ms";
  EXPECT_EQ(now(), 15);
}

TEST_F(LineTest, WritesAreRecordedAndAnsweredByTheController) {
  line.clock().advance(30);
  EXPECT_EQ(backend->write(frame('R').data(), 6), 6);
  ASSERT_EQ(line.written().size(), 1u);
  EXPECT_EQ(line.written()[0].atMs, 30);
  EXPECT_EQ(line.written()[0].bytes, frame('R'));
  EXPECT_EQ(lettersOf(line.writtenFrames()), "R");
  EXPECT_EQ(line.controller().frames().size(), 1u);
  EXPECT_EQ(read(), (Bytes{0x02, 0x05, 'R', 0x22, 0x28}));
}

TEST_F(LineTest, DetachedLineOnlyRecordsAndPlaysScriptedBytes) {
  line.detachController();
  backend->write(frame('R').data(), 6);
  EXPECT_EQ(line.waitingBytes(), 0u);
  EXPECT_TRUE(line.controller().frames().empty());
  line.arrive(now() + 20, {0x02, 0x04, '+', 0});
  EXPECT_EQ(read(), (Bytes{0x02, 0x04, '+', 0}));
}

TEST_F(LineTest, ControllerFaultsReachTheLine) {
  line.controller().faults().splitGapMs = 8;
  backend->write(frame('C').data(), 6);
  line.clock().advance(125);
  EXPECT_EQ(read().size(), 20u) << "both halves waited";
  backend->write(frame('C').data(), 6);
  EXPECT_EQ(read().size(), 10u) << "read at once, the second half is 8 ms off";
  EXPECT_EQ(read().size(), 10u);
}

TEST_F(LineTest, PulledCableFailsReadsAndWrites) {
  line.dropLine();
  EXPECT_EQ(backend->write(frame('R').data(), 6), -1);
  read();
  EXPECT_EQ(lastResult, -1);
  EXPECT_TRUE(line.written().empty());
}

TEST_F(LineTest, ControllerDroppingTheLineHangsUpAfterItsLastReply) {
  line.controller().faults().dropAfterFrames = 1;
  backend->write(frame('R').data(), 6);
  line.clock().advance(125);
  EXPECT_EQ(read().size(), 5u);
  line.clock().advance(sim::kHangUpDelayMs);
  EXPECT_TRUE(line.down());
  EXPECT_EQ(backend->write(frame('R').data(), 6), -1);
}

TEST(MemoryLineOpen, OpensOnlyItsOwnDeviceAndOnlyOnce) {
  MemoryLine line("Com3");
  auto first = line.factory()();
  auto second = line.factory()();
  EXPECT_FALSE(first->open("Com1"));
  EXPECT_TRUE(first->open("Com3"));
  EXPECT_FALSE(second->open("Com3")) << "held by the first";
  Bytes buffer(6);
  EXPECT_EQ(second->read(buffer.data(), 6), -1);
  first->close();
  EXPECT_TRUE(second->open("Com3"));
  EXPECT_EQ(line.opens(), 2);
  second.reset();
  EXPECT_FALSE(line.held()) << "a destroyed backend lets go";
}

TEST(MemoryLineOpen, SerialPortOpenRecordsItsSettingsAndDrainsOnTheVirtualClock) {
  ProgramOnLine p;
  SerialPort& port = p.program->ControllerPort;
  p.line.arrive(0, {0xAA, 0xBB});  // stale bytes from before the port was ours
  port.BaudRate = 19200;
  ASSERT_TRUE(port.Open());
  EXPECT_TRUE(p.line.held());
  EXPECT_EQ(p.line.inputQueue(), 2048);
  EXPECT_EQ(p.line.outputQueue(), 2048);
  EXPECT_EQ(p.line.lineSettings().baudRate, 19200);
  EXPECT_TRUE(p.line.lineSettings().abortOnError);
  const Timeouts& t = p.line.timeouts();
  EXPECT_EQ((std::vector<int>{t.readInterval, t.readTotalMultiplier, t.readTotalConstant, t.writeTotalMultiplier,
                              t.writeTotalConstant}),
            (std::vector<int>{5, 1, 5, 1, 5}));
  EXPECT_EQ(p.line.waitingBytes(), 0u);
  EXPECT_EQ(p.program.desktop.clock.now(), 6) << "two waiting bytes, then one empty one-byte read";
}

}  // namespace
}  // namespace korvane::testing
