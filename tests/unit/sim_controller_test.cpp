// The emulated controller: replies by letter and length, their layouts, the
// memory they change, frame assembly and the fault modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sim/lib/controller.h"
#include "support/line_bytes.h"

namespace korvane::sim {
namespace {

using testing::frame;

// Everything the controller sends back for `bytes`, chunks joined.
Bytes replyTo(Controller& c, const Bytes& bytes, long long nowMs = 0) {
  Bytes all;
  for (const ReplyChunk& chunk : c.feed(bytes, nowMs)) all.insert(all.end(), chunk.bytes.begin(), chunk.bytes.end());
  return all;
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

struct LetterCase {
  Bytes frame;
  char letter;
  std::size_t length;
};

void PrintTo(const LetterCase& c, std::ostream* os) { *os << "'" << c.letter << "' of " << c.length; }

class EveryCommand : public ::testing::TestWithParam<LetterCase> {};

TEST_P(EveryCommand, AnswersWithItsLetterAndLength) {
  Controller c;
  const Bytes reply = replyTo(c, GetParam().frame);
  ASSERT_EQ(reply.size(), GetParam().length);
  EXPECT_EQ(reply[0], 0x02);
  EXPECT_EQ(reply[1], GetParam().length);
  EXPECT_EQ(static_cast<char>(reply[2]), GetParam().letter);
}

INSTANTIATE_TEST_SUITE_P(Commands, EveryCommand,
                         ::testing::Values(LetterCase{frame('R'), 'R', 5}, LetterCase{frame('C'), 'C', 20},
                                           LetterCase{frame('A'), 'A', 20}, LetterCase{frame('E', 3, 1, 32), 'E', 6},
                                           LetterCase{frame('e', 3, 1, 9), 'e', 6}, LetterCase{frame('m', 5), 'm', 5},
                                           LetterCase{frame('q', 5), 'q', 5}, LetterCase{frame('i', 5), 'i', 5},
                                           LetterCase{frame('p', 5), 'p', 5}, LetterCase{frame('j', 1), 'j', 4},
                                           LetterCase{frame('k', 4), 'k', 4}, LetterCase{frame('v', 1), 'v', 4},
                                           LetterCase{frame('z', 9), 'z', 4}, LetterCase{frame('f', 1), 'f', 4},
                                           LetterCase{frame('t', 9), 't', 4}, LetterCase{frame('u', 9), 'u', 4}));

TEST(Controller, ReportsItsRevisionLowByteFirst) {
  Controller c;
  c.setRevision(10274);
  EXPECT_EQ(replyTo(c, frame('R')), (Bytes{0x02, 0x05, 'R', 0x22, 0x28}));
}

TEST(Controller, ConfigurationReplyPlacesEveryParameter) {
  Controller c;
  Configuration cfg;
  cfg.inhTime = 0x31;
  cfg.killRpm = 0x03FF;
  cfg.fuelMx = 0x1234;
  cfg.minPres = 0x0169;
  cfg.flgVal = 2;
  cfg.cutRate = 0xC8;
  cfg.cutTime = 0x72;
  cfg.trgInj = 3;
  cfg.oneShot = 0x0B54;
  cfg.mapType = 0x41;
  cfg.trgRev = 6;
  c.setConfiguration(cfg);
  EXPECT_EQ(replyTo(c, frame('C')), (Bytes{0x02, 0x14, 'C',  0x31, 0x00, 0xFF, 0x03, 0x34, 0x12, 0x69,
                                           0x01, 0x02, 0xC8, 0x72, 0x03, 0x00, 0x54, 0x0B, 0x41, 0x06}));
}

struct ParameterCase {
  char letter;
  Bytes frame;  // the command as the tool sends it
  Bytes echo;   // the whole echo
  int offset;   // where the value lands in the configuration reply
};

void PrintTo(const ParameterCase& c, std::ostream* os) { *os << "'" << c.letter << "'"; }

class ParameterWrite : public ::testing::TestWithParam<ParameterCase> {};

TEST_P(ParameterWrite, EchoesTheValueAndShowsItInTheConfiguration) {
  const ParameterCase& p = GetParam();
  Controller c;
  Bytes before = replyTo(c, frame('C'));
  EXPECT_EQ(replyTo(c, p.frame), p.echo);
  Bytes after = replyTo(c, frame('C'));
  const std::size_t width = p.echo.size() - 3;
  std::copy_n(p.echo.begin() + 3, width, before.begin() + p.offset);
  EXPECT_EQ(after, before) << "only the written parameter changes";
}

INSTANTIATE_TEST_SUITE_P(Parameters, ParameterWrite,
                         ::testing::Values(ParameterCase{'u', frame('u', 200), Bytes{2, 4, 'u', 200}, 3},
                                           ParameterCase{'i', frame('i', 0xFF, 0x03), Bytes{2, 5, 'i', 0xFF, 0x03}, 5},
                                           ParameterCase{'m', frame('m', 0x05, 0x00), Bytes{2, 5, 'm', 0x05, 0x00}, 7},
                                           ParameterCase{'p', frame('p', 105, 1), Bytes{2, 5, 'p', 105, 1}, 9},
                                           ParameterCase{'f', frame('f', 0), Bytes{2, 4, 'f', 0}, 11},
                                           ParameterCase{'z', frame('z', 77), Bytes{2, 4, 'z', 77}, 12},
                                           ParameterCase{'t', frame('t', 255), Bytes{2, 4, 't', 255}, 13},
                                           ParameterCase{'j', frame('j', 7), Bytes{2, 4, 'j', 7}, 14},
                                           ParameterCase{'q', frame('q', 0x54, 0x0B), Bytes{2, 5, 'q', 0x54, 0x0B}, 16},
                                           ParameterCase{'v', frame('v', 2), Bytes{2, 4, 'v', 2}, 18},
                                           // a byte command ignores the second parameter byte
                                           ParameterCase{'k', frame('k', 6, 1, 9), Bytes{2, 4, 'k', 6}, 19}),
                         [](const auto& info) {
                           return std::string(1, info.param.letter) + (std::islower(info.param.letter) ? "_" : "");
                         });

TEST(Controller, GainWriteIsEchoedAndReadBack) {
  Controller c;
  EXPECT_EQ(replyTo(c, frame('e', 5, 1, 200)), (Bytes{0x02, 0x06, 'e', 0x05, 0x01, 0xC8}));
  EXPECT_EQ(replyTo(c, frame('E', 5, 1, 32)), (Bytes{0x02, 0x06, 'E', 0x05, 0x01, 0xC8}));
  EXPECT_EQ(c.gain(5), 200);
  EXPECT_EQ(replyTo(c, frame('e', 127, 1, 0)), (Bytes{0x02, 0x06, 'e', 0x7F, 0x01, 0x00}));
  EXPECT_EQ(c.gain(127), 0);
  EXPECT_NE(c.gain(4), 200);
}

TEST(Controller, AddressesOutsideTheGainMapReadZeroAndAreNotWritten) {
  Controller c;
  c.fillGains(99);
  const Gains before = c.memory().gains;
  EXPECT_EQ(replyTo(c, frame('E', 0xFF, 0x00, 32)), (Bytes{0x02, 0x06, 'E', 0xFF, 0x00, 0}));
  EXPECT_EQ(replyTo(c, frame('e', 0x80, 0x01, 55)), (Bytes{0x02, 0x06, 'e', 0x80, 0x01, 0}));
  EXPECT_EQ(replyTo(c, frame('e', 0x00, 0x00, 55)), (Bytes{0x02, 0x06, 'e', 0x00, 0x00, 0}));
  EXPECT_EQ(c.memory().gains, before);
}

TEST(Controller, LiveDataReplyCarriesTheThreeReadings) {
  Controller c;
  c.holdLiveData({.map = 0x0123, .rpm = 0x0345, .pulseWidth = 0x1234});
  EXPECT_EQ(replyTo(c, frame('A')),
            (Bytes{0x02, 0x14, 'A', 0x23, 0x01, 0, 0, 0x45, 0x03, 0, 0, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Controller, LiveDataReplyFollowsTheEngineAtTheFeedTime) {
  Controller c;
  for (long long t : {0LL, 4321LL, 60000LL}) {
    const LiveData engine = engineAt(t, c.memory());
    const Bytes reply = replyTo(c, frame('A'), t);
    EXPECT_EQ(reply[3] | reply[4] << 8, engine.map) << t;
    EXPECT_EQ(reply[7] | reply[8] << 8, engine.rpm) << t;
    EXPECT_EQ(reply[11] | reply[12] << 8, engine.pulseWidth) << t;
  }
}

// --- frame assembly ---

TEST(FrameAssembly, FrameFedByteByByteIsAnsweredOnceComplete) {
  Controller c;
  const Bytes r = frame('R');
  for (std::size_t i = 0; i + 1 < r.size(); ++i) EXPECT_TRUE(c.feed(Bytes{r[i]}, 0).empty()) << i;
  EXPECT_EQ(replyTo(c, Bytes{r.back()}).size(), 5u);
}

TEST(FrameAssembly, TwoFramesInOneFeedAreAnsweredInOrder) {
  Controller c;
  const auto chunks = c.feed(concat({frame('R'), frame('k', 6), Bytes{0x02, 0x06}}), 0);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].bytes[2], 'R');
  EXPECT_EQ(chunks[1].bytes, (Bytes{2, 4, 'k', 6}));
  EXPECT_EQ(replyTo(c, Bytes{'R', 0, 0, 0}).size(), 5u) << "the started third frame completes";
}

class JunkBeforeFrame : public ::testing::TestWithParam<Bytes> {};

TEST_P(JunkBeforeFrame, IsDiscardedAndTheFrameAnswered) {
  Controller c;
  EXPECT_EQ(replyTo(c, concat({GetParam(), frame('k', 4)})), (Bytes{2, 4, 'k', 4}));
  EXPECT_EQ(c.discardedBytes(), GetParam().size());
  ASSERT_EQ(c.frames().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Junk, JunkBeforeFrame,
                         ::testing::Values(Bytes{0xFF}, Bytes{0x00, 0x13, 0x37}, Bytes{0x02}, Bytes{0x02, 0x02},
                                           Bytes{0x02, 0x05}, Bytes{0x06, 0x02, 0x07},
                                           Bytes{0x02, 0x06},                            // a header with no letter
                                           Bytes{0x02, 0x06, 0x99, 0x02, 0x06, 0x02}));  // unknown letters

TEST(FrameAssembly, StalePartialFrameIsDroppedAfterAPause) {
  Controller c;
  EXPECT_TRUE(c.feed(Bytes{0x02, 0x06, 'k'}, 0).empty());
  EXPECT_EQ(replyTo(c, frame('R'), 100), (Bytes{0x02, 0x05, 'R', 0x22, 0x28}));
  EXPECT_EQ(c.discardedBytes(), 3u);
  ASSERT_EQ(c.frames().size(), 1u);
  EXPECT_EQ(c.frames()[0].atMs, 100);
}

TEST(FrameAssembly, PartialFrameCompletedWithoutAPauseIsKept) {
  Controller c;
  EXPECT_TRUE(c.feed(Bytes{0x02, 0x06, 'k'}, 0).empty());
  EXPECT_EQ(replyTo(c, Bytes{8, 0, 0}, kFrameGapMs), (Bytes{2, 4, 'k', 8}));
}

// --- fault modes ---

TEST(Faults, SilentControllerAnswersNothingButStillHearsFrames) {
  Controller c;
  c.faults().silent = true;
  EXPECT_TRUE(c.feed(concat({frame('R'), frame('e', 2, 1, 50)}), 0).empty());
  EXPECT_EQ(c.frames().size(), 2u);
}

TEST(Faults, DeadCellNeverAnswersAndIsNotWritten) {
  Controller c;
  c.faults().deadCells = {5};
  const std::uint8_t before = c.gain(5);
  EXPECT_TRUE(c.feed(frame('E', 5, 1, 32), 0).empty());
  EXPECT_TRUE(c.feed(frame('e', 5, 1, 1), 0).empty());
  EXPECT_EQ(c.gain(5), before);
  EXPECT_EQ(replyTo(c, frame('E', 6, 1, 32)).size(), 6u);
  EXPECT_EQ(replyTo(c, frame('E', 5, 0, 32)).size(), 6u) << "address 5 is not cell 5";
}

TEST(Faults, LateRepliesArriveThatMuchLater) {
  Controller c;
  c.faults().lateMs = 150;
  const auto chunks = c.feed(frame('R'), 1000);
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(chunks[0].atMs, 1150);
}

TEST(Faults, SplitRepliesComeInTwoHalvesWithTheGap) {
  Controller plain;
  Controller c;
  c.faults().splitGapMs = 7;
  const auto chunks = c.feed(frame('C'), 10);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].atMs, 10);
  EXPECT_EQ(chunks[1].atMs, 17);
  EXPECT_EQ(chunks[0].bytes.size(), 10u);
  EXPECT_EQ(concat({chunks[0].bytes, chunks[1].bytes}), replyTo(plain, frame('C'), 10));
}

TEST(Faults, RepliesNeverOvertakeOneAnother) {
  Controller c;
  c.faults().splitGapMs = 10;
  auto chunks = c.feed(frame('R'), 0);
  for (auto& chunk : c.feed(frame('k', 4), 1)) chunks.push_back(chunk);
  std::vector<long long> times;
  for (const auto& chunk : chunks) times.push_back(chunk.atMs);
  EXPECT_EQ(times, (std::vector<long long>{0, 10, 10, 20}));
}

struct GarbageCase {
  Garbage where;
  Bytes expected;
};

void PrintTo(const GarbageCase& c, std::ostream* os) {
  *os << (c.where == Garbage::Before ? "before" : c.where == Garbage::After ? "after" : "instead");
}

class GivenGarbage : public ::testing::TestWithParam<GarbageCase> {};

TEST_P(GivenGarbage, SurroundsOrReplacesTheReply) {
  Controller c;
  c.faults().garbage = GetParam().where;
  c.faults().junk = {0xEE, 0x02};
  EXPECT_EQ(replyTo(c, frame('k', 4)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Where, GivenGarbage,
                         ::testing::Values(GarbageCase{Garbage::Before, Bytes{0xEE, 0x02, 2, 4, 'k', 4}},
                                           GarbageCase{Garbage::After, Bytes{2, 4, 'k', 4, 0xEE, 0x02}},
                                           GarbageCase{Garbage::Instead, Bytes{0xEE, 0x02}}));

TEST(Faults, RandomGarbageIsOneToEightBytesAndVaries) {
  Controller c(Memory{}, 7);
  c.faults().garbage = Garbage::Instead;
  std::vector<Bytes> seen;
  for (int i = 0; i < 20; ++i) {
    const Bytes junk = replyTo(c, frame('R'), i * 100);
    EXPECT_GE(junk.size(), 1u);
    EXPECT_LE(junk.size(), 8u);
    seen.push_back(junk);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_GT(std::unique(seen.begin(), seen.end()) - seen.begin(), 10);
}

TEST(Faults, DroppedLineAnswersItsFramesThenHangsUp) {
  Controller c;
  c.faults().dropAfterFrames = 2;
  c.faults().lateMs = 30;
  EXPECT_EQ(replyTo(c, frame('R'), 0).size(), 5u);
  EXPECT_FALSE(c.hangUpAtMs());
  EXPECT_EQ(replyTo(c, concat({frame('C'), frame('R')}), 100).size(), 20u) << "the third frame never arrives";
  EXPECT_EQ(c.hangUpAtMs(), 130 + kHangUpDelayMs);
  EXPECT_TRUE(c.feed(frame('R'), 200).empty());
  EXPECT_EQ(c.frames().size(), 2u);
}

TEST(Faults, FramesIntoADroppedLineAreKeptApartAndDoNotPutTheHangUpOff) {
  Controller c;
  c.faults().dropAfterFrames = 1;
  replyTo(c, frame('R'), 0);
  const auto hangUp = c.hangUpAtMs();
  EXPECT_TRUE(c.feed(concat({frame('e', 3, 1, 9), frame('A')}), 100).empty());
  EXPECT_EQ(c.hangUpAtMs(), hangUp);
  ASSERT_EQ(c.ignoredFrames().size(), 2u);
  EXPECT_EQ(Bytes(c.ignoredFrames()[0].bytes.begin(), c.ignoredFrames()[0].bytes.end()), frame('e', 3, 1, 9));
  EXPECT_EQ(c.ignoredFrames()[1].atMs, 100);
  EXPECT_NE(c.gain(3), 9) << "the controller never saw the write";
}

TEST(Faults, FloodBeginsAfterItsFramesAndEndsWithTheLine) {
  Controller c;
  c.faults().floodAfterFrames = 2;
  c.faults().dropAfterFrames = 3;
  EXPECT_FALSE(c.flooding());
  replyTo(c, frame('R'), 0);
  EXPECT_FALSE(c.flooding());
  EXPECT_EQ(replyTo(c, frame('R'), 10).size(), 5u) << "the frame that starts the flood is still answered";
  EXPECT_TRUE(c.flooding());
  replyTo(c, frame('R'), 20);
  EXPECT_FALSE(c.flooding()) << "a line that goes down carries nothing";
}

TEST(Faults, FloodRepeatsTheJunkOrPoursRandomBytes) {
  Controller given;
  given.faults().floodAfterFrames = 0;
  given.faults().junk = {0xAA, 0xBB, 0xCC};
  const ReplyChunk chunk = given.floodChunk(40);
  EXPECT_EQ(chunk.atMs, 40);
  ASSERT_EQ(chunk.bytes.size(), kFloodChunkBytes);
  for (std::size_t i = 0; i < chunk.bytes.size(); ++i) EXPECT_EQ(chunk.bytes[i], given.faults().junk[i % 3]) << i;

  Controller random(Memory{}, 3);
  random.faults().floodAfterFrames = 0;
  const Bytes first = random.floodChunk(0).bytes;
  EXPECT_EQ(first.size(), kFloodChunkBytes);
  EXPECT_NE(first, random.floodChunk(0).bytes);
}

TEST(Faults, LineDroppedAfterNoFramesHangsUpAtOnce) {
  Controller c;
  c.faults().dropAfterFrames = 0;
  EXPECT_EQ(c.hangUpAtMs(), kHangUpDelayMs);
  EXPECT_TRUE(c.feed(frame('R'), 0).empty());
}

// --- the engine ---

TEST(Engine, ReadingsMoveSmoothlyOverTheWholeRange) {
  const Memory memory;
  std::uint16_t lowMap = 1023, highMap = 0, lowRpm = 1023, highRpm = 0;
  LiveData last = engineAt(0, memory);
  for (long long t = 100; t <= 120'000; t += 100) {
    const LiveData now = engineAt(t, memory);
    ASSERT_LE(now.map, 1023);
    ASSERT_LE(now.rpm, 1023);
    EXPECT_LT(std::abs(now.map - last.map), 40) << t;
    EXPECT_LT(std::abs(now.rpm - last.rpm), 40) << t;
    lowMap = std::min(lowMap, now.map), highMap = std::max(highMap, now.map);
    lowRpm = std::min(lowRpm, now.rpm), highRpm = std::max(highRpm, now.rpm);
    last = now;
  }
  EXPECT_GT(highMap - lowMap, 500);
  EXPECT_GT(highRpm - lowRpm, 500);
}

TEST(Engine, PulseWidthFollowsTheGainOfTheCellItRunsIn) {
  Memory memory;
  memory.configuration.killRpm = 1023;
  memory.configuration.minPres = 0;
  const long long t = 5000;
  const LiveData engine = engineAt(t, memory);
  const int cell = operatingCell(engine.map, engine.rpm);
  memory.gains[cell] = 64;
  const int half = engineAt(t, memory).pulseWidth;
  memory.gains[cell] = 128;
  const int whole = engineAt(t, memory).pulseWidth;
  EXPECT_NEAR(whole, 2 * half, 1);
  EXPECT_NEAR(whole, memory.configuration.fuelMx * engine.map / 1023.0, 1);
  memory.gains[(cell + 1) % kGainCount] = 255;
  EXPECT_EQ(engineAt(t, memory).pulseWidth, whole) << "other cells do not matter";
}

TEST(Engine, FuelIsCutAtTheRevLimiterAndBelowTheCutPressure) {
  Memory memory;
  memory.configuration.killRpm = 0;
  EXPECT_EQ(engineAt(5000, memory).pulseWidth, 0);
  memory.configuration.killRpm = 1023;
  memory.configuration.minPres = 1023;
  EXPECT_EQ(engineAt(5000, memory).pulseWidth, 0);
}

TEST(Engine, OperatingCellRunsColumnBySpeedAndRowByPressure) {
  EXPECT_EQ(operatingCell(0, 0), 0);
  EXPECT_EQ(operatingCell(1023, 0), 7);
  EXPECT_EQ(operatingCell(0, 1023), 120);
  EXPECT_EQ(operatingCell(1023, 1023), 127);
  EXPECT_EQ(operatingCell(128, 64), 9);
}

}  // namespace
}  // namespace korvane::sim
