// Command frames, the command table and the standard exchange.
#include "link/command.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "link/reply_decoder.h"
#include "sim/lib/controller.h"
#include "support/line_bytes.h"
#include "support/scripted_line.h"

namespace korvane {
namespace {

using testing::Bytes;
using testing::reply;
using testing::ScriptedProgram;

Bytes bytesOf(const Frame& frame) { return Bytes(frame.begin(), frame.end()); }

struct FrameCase {
  const char* name;
  Command command;
  Bytes expected;
};

class FrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameTest, CommandBecomesItsSixBytes) { EXPECT_EQ(bytesOf(makeFrame(GetParam().command)), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Shapes, FrameTest,
    ::testing::Values(
        FrameCase{"Identify", makeCommand('R'), {0x02, 0x06, 0x52, 0x00, 0x00, 0x00}},
        FrameCase{"Word1023", makeCommand('m', 1023), {0x02, 0x06, 0x6D, 0xFF, 0x03, 0x00}},
        FrameCase{"ReadCell127", readGainCellCommand(127), {0x02, 0x06, 0x45, 0x7F, 0x01, 0x20}},
        FrameCase{"Write200IntoCell5", writeGainCellCommand(5, 200), {0x02, 0x06, 0x65, 0x05, 0x01, 0xC8}},
        FrameCase{"Byte300LosesItsHighBits", makeCommand('k', 300), {0x02, 0x06, 0x6B, 0x2C, 0x00, 0x00}},
        FrameCase{"WordLosesBitsAbove15", makeCommand('q', 0x12345), {0x02, 0x06, 0x71, 0x45, 0x23, 0x00}},
        FrameCase{"NegativeByteKeepsItsLowBits", makeCommand('z', -1), {0x02, 0x06, 0x7A, 0xFF, 0x00, 0x00}},
        FrameCase{"NoneShapeIgnoresTheValue", makeCommand('A', 99), {0x02, 0x06, 0x41, 0x00, 0x00, 0x00}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every command, put to the emulator, is answered by the reply of its own
// letter, and that reply has exactly the length the decoder takes for it.
TEST(CommandTableTest, EveryCommandIsAnsweredByAKnownReplyOfItsLength) {
  std::set<char> letters;
  for (const CommandKind& kind : kCommands) {
    EXPECT_TRUE(letters.insert(kind.letter).second) << "'" << kind.letter << "' twice";
    const ReplyKind* answer = findReplyKind(kind.letter);
    ASSERT_NE(answer, nullptr) << kind.letter;
    const Command command = kind.shape == Shape::GainCell ? Command{.letter = kind.letter, .value = 9, .cell = 3}
                                                          : makeCommand(kind.letter, 1);
    sim::Controller controller;
    Bytes answered;
    for (const sim::ReplyChunk& chunk : controller.feed(bytesOf(makeFrame(command)), 0)) {
      answered.insert(answered.end(), chunk.bytes.begin(), chunk.bytes.end());
    }
    ASSERT_GE(answered.size(), 3u) << kind.letter;
    EXPECT_EQ(static_cast<char>(answered[2]), kind.letter);
    EXPECT_EQ(answer->length, static_cast<int>(answered.size())) << kind.letter;
  }
  EXPECT_EQ(letters.size(), 16u);
  // The gain-cell commands are answered by 'E' and 'e' alike.
  EXPECT_EQ(findReplyKind('E')->length, findReplyKind('e')->length);
}

TEST(CommandTableTest, LettersOutsideTheSetAndMisshapenCommandsAreRefused) {
  EXPECT_THROW(makeCommand('x', 1), std::invalid_argument);
  EXPECT_THROW(makeFrame(Command{'+'}), std::invalid_argument) << "'+' is a reply, never a command";
  EXPECT_THROW(makeCommand('e', 1), std::invalid_argument) << "a gain cell needs its index";

  ScriptedProgram p;
  EXPECT_THROW(SendCommand(*p, Command{'x'}), std::invalid_argument);
  EXPECT_TRUE(p.line.written().empty());
}

TEST(SendCommandTest, WritesTheFrameWaits125MsThenReadsOnce) {
  ScriptedProgram p;
  p.line.queue(reply('m', {0x05, 0x00}));
  SendCommand(*p, makeCommand('m', 5));
  EXPECT_EQ(p.line.writtenFrames(), (std::vector<Bytes>{{0x02, 0x06, 'm', 0x05, 0x00, 0x00}}));
  EXPECT_EQ(p.line.written()[0].atMs, 0);
  EXPECT_EQ(p.line.readTimes(), std::vector<long long>{125});
  EXPECT_EQ(p.desktop().sleeps, std::vector<int>{125});
  EXPECT_TRUE(p->ReplyReceived);
}

TEST(SendCommandTest, ClearsReplyReceivedWhenNothingAnswers) {
  ScriptedProgram p;
  p->ReplyReceived = true;
  SendCommand(*p, makeCommand('A'));
  EXPECT_FALSE(p->ReplyReceived);
  EXPECT_EQ(p.line.reads(), 1);
}

TEST(SendCommandTest, OnAClosedPortSendsNothingButStillWaits) {
  ScriptedProgram p;
  p->ControllerPort.Close();
  p->ReplyReceived = true;
  SendCommand(*p, makeCommand('R'));
  EXPECT_TRUE(p.line.written().empty());
  EXPECT_EQ(p.line.reads(), 0);
  EXPECT_EQ(p.desktop().clock.now(), 125);
  EXPECT_FALSE(p->ReplyReceived);
  EXPECT_EQ(p.window().heartbeat.colour(), kSilver);
}

TEST(SendCommandTest, AReplyOfTheWrongLengthLeavesReplyReceivedFalse) {
  ScriptedProgram p;
  p.line.queue(reply('m', {0x05}));  // 4 bytes; 'm' echoes are 5
  SendCommand(*p, makeCommand('m', 5));
  EXPECT_FALSE(p->ReplyReceived);
  EXPECT_EQ(p.window().Fuel_mx.text(), "0");
}

TEST(SendCommandTest, AnAcceptedReplyOfAnotherLetterStillCounts) {
  ScriptedProgram p;
  p.line.queue(reply('+', {0x00}));
  SendCommand(*p, makeCommand('t', 3));
  EXPECT_TRUE(p->ReplyReceived);
}

TEST(WriteFrameTest, NeitherWaitsNorReads) {
  ScriptedProgram p;
  p.line.queue(reply('e', {0x05, 0x01, 0xC8}));
  WriteFrame(*p, writeGainCellCommand(5, 200));
  EXPECT_EQ(p.line.written().size(), 1u);
  EXPECT_TRUE(p.desktop().sleeps.empty());
  EXPECT_EQ(p.line.reads(), 0);
  EXPECT_EQ(p.line.queued(), 1u) << "the echo stays queued for a later read";
}

}  // namespace
}  // namespace korvane
