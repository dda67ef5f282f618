// Command frames: 0x02, 0x06, the command letter and three parameter bytes;
// the command set the controller understands, as one table; and the two ways
// a frame goes out. A sender names the command and its value; the frame is
// built here, from the table, so no letter outside the set and no parameter
// in the wrong shape reaches the line.
#pragma once

#include <array>
#include <cstdint>

#include "window/program.h"

namespace korvane {

using Frame = std::array<std::uint8_t, 6>;

// How a command's value goes into its three parameter bytes.
enum class Shape {
  None,      // 0, 0, 0
  Byte,      // bits 0-7, 0, 0
  Word,      // bits 0-7, bits 8-15, 0
  GainCell,  // the cell's address low byte first, then bits 0-7 of the value
};

struct CommandKind {
  char letter;
  Shape shape;
  const char* meaning;
};

// The whole command set. Each command is answered by the reply of its own
// letter, whose length the reply table holds (reply_decoder.cpp). The
// parameter rows stand in the order the upload sends them.
inline constexpr std::array<CommandKind, 16> kCommands = {{
    {'R', Shape::None, "identify; the reply carries the firmware revision"},
    {'C', Shape::None, "read the whole configuration"},
    {'A', Shape::None, "read live engine data"},
    {'E', Shape::GainCell, "read a gain cell"},
    {'m', Shape::Word, "injector scaler FUEL_MX"},
    {'e', Shape::GainCell, "write a gain cell"},
    {'q', Shape::Word, "tach period ONE_SHOT"},
    {'i', Shape::Word, "rev limiter KILL_RPM"},
    {'j', Shape::Byte, "triggers per injection TRG_INJ"},
    {'k', Shape::Byte, "triggers per revolution TRG_REV"},
    {'v', Shape::Byte, "MAP sensor range MAP_TYPE"},
    {'p', Shape::Word, "cut fuel below pressure MIN_PRES"},
    {'z', Shape::Byte, "MAP rate cut CUT_RATE"},
    {'f', Shape::Byte, "pulse mode FLG_VAL"},
    {'t', Shape::Byte, "fuel cut time CUT_TIME"},
    {'u', Shape::Byte, "injection inhibit time INH_TIME"},
}};

// The gain cells live in the controller at 256 + i.
inline constexpr std::int32_t kFirstGainCellAddress = 256;

// The command with this letter. Throws std::invalid_argument for a letter
// outside the set: such a frame must never be written.
const CommandKind& commandKind(char letter);

// A command to be framed: its letter and the value its shape packs. Only the
// bits the shape holds reach the frame; range checks are the sender's.
struct Command {
  char letter;
  std::int64_t value = 0;  // for a gain cell, the gain
  std::int64_t cell = 0;   // gain-cell commands only: the cell, by its low 8 bits
};

// A command of shape none, byte or word carrying `value`. Throws
// std::invalid_argument for a gain-cell letter or a letter outside the set.
Command makeCommand(char letter, std::int64_t value = 0);

// The gain-cell commands: the read request 'E' for `cell` and the write 'e'
// of `gain` into it.
Command readGainCellCommand(std::int64_t cell);
Command writeGainCellCommand(std::int64_t cell, std::int64_t gain);

// The address a gain-cell command goes to, as the controller's reply names it.
std::int32_t cellAddress(const Command& command);

// The six bytes of a frame. Throws std::invalid_argument for a letter
// outside the command set.
Frame makeFrame(const Command& command);

// Writes the frame with one Write; neither waits nor reads. Nothing is sent on
// a closed port. Returns the moment the frame was handed to the line, which
// the wait for its reply counts from.
Desktop::Moment WriteFrame(Program& program, const Command& command);

// The standard exchange: clear ReplyReceived, write the frame, wait 125 ms,
// DecodeReply once. Afterwards ReplyReceived says whether an accepted reply
// (of any letter) came.
void SendCommand(Program& program, const Command& command);

// The fixed wait of the standard exchange.
inline constexpr int kExchangeWaitMs = 125;

}  // namespace korvane
