// Command frames: 0x02, 0x06, the command letter and three parameter bytes;
// the command set the controller understands, as one table; and the two ways
// a frame goes out. Every sender builds its frame from this table, so no
// letter outside the set and no parameter in the wrong shape reaches the line.
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
  GainCell,  // cell index, 1, value byte: address 256 + i low byte first, then the value
};

struct CommandKind {
  char letter;
  Shape shape;
  char replyLetter;  // the gain-cell commands are answered by 'E' or 'e' alike
  int replyLength;   // total bytes of the reply: header, letter and payload
  const char* meaning;
};

// The whole command set. The parameter rows stand in the order the upload
// sends them.
inline constexpr std::array<CommandKind, 16> kCommands = {{
    {'R', Shape::None, 'R', 5, "identify; the reply carries the firmware revision"},
    {'C', Shape::None, 'C', 20, "read the whole configuration"},
    {'A', Shape::None, 'A', 20, "read live engine data"},
    {'E', Shape::GainCell, 'E', 6, "read a gain cell"},
    {'m', Shape::Word, 'm', 5, "injector scaler FUEL_MX"},
    {'e', Shape::GainCell, 'e', 6, "write a gain cell"},
    {'q', Shape::Word, 'q', 5, "tach period ONE_SHOT"},
    {'i', Shape::Word, 'i', 5, "rev limiter KILL_RPM"},
    {'j', Shape::Byte, 'j', 4, "triggers per injection TRG_INJ"},
    {'k', Shape::Byte, 'k', 4, "triggers per revolution TRG_REV"},
    {'v', Shape::Byte, 'v', 4, "MAP sensor range MAP_TYPE"},
    {'p', Shape::Word, 'p', 5, "cut fuel below pressure MIN_PRES"},
    {'z', Shape::Byte, 'z', 4, "MAP rate cut CUT_RATE"},
    {'f', Shape::Byte, 'f', 4, "pulse mode FLG_VAL"},
    {'t', Shape::Byte, 't', 4, "fuel cut time CUT_TIME"},
    {'u', Shape::Byte, 'u', 4, "injection inhibit time INH_TIME"},
}};

// The command with this letter. Throws std::invalid_argument for a letter
// outside the set: such a frame must never be written.
const CommandKind& commandKind(char letter);

// A command ready to be framed: its letter and three parameter bytes.
struct Command {
  char letter;
  std::uint8_t p1 = 0;
  std::uint8_t p2 = 0;
  std::uint8_t p3 = 0;
};

// A command of shape none, byte or word carrying `value`; only the bits the
// shape holds go into the frame (range checks are the sender's). Throws
// std::invalid_argument for a gain-cell letter or a letter outside the set.
Command makeCommand(char letter, std::int64_t value = 0);

// The gain-cell commands for cell `cell` (its low 8 bits): the read request
// 'E', i, 1, 32 and the write 'e', i, 1, gain.
Command readGainCellCommand(std::int64_t cell);
Command writeGainCellCommand(std::int64_t cell, std::int64_t gain);

// The six bytes of a frame. Throws std::invalid_argument for a letter
// outside the command set.
Frame makeFrame(char letter, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);
Frame makeFrame(const Command& command);

// Writes the frame with one Write; neither waits nor reads. Nothing is sent on
// a closed port.
void WriteFrame(Program& program, char letter, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);
void WriteFrame(Program& program, const Command& command);

// The standard exchange: clear ReplyReceived, write the frame, wait 125 ms,
// DecodeReply once. Afterwards ReplyReceived says whether an accepted reply
// (of any letter) came.
void SendCommand(Program& program, char letter, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);
void SendCommand(Program& program, const Command& command);

// The fixed wait of the standard exchange.
inline constexpr int kExchangeWaitMs = 125;

}  // namespace korvane
