// Building frames from the command table and sending them.
#include "link/command.h"

#include <stdexcept>
#include <string>

#include "link/reply_decoder.h"

namespace korvane {
namespace {

constexpr std::uint8_t kFrameStart = 0x02;
constexpr std::uint8_t kFrameLength = 0x06;
constexpr std::uint8_t kCellAddressHigh = 0x01;  // gain cells live at 256 + i
constexpr std::uint8_t kReadRequestValue = 32;   // the controller ignores it; always 32

std::uint8_t bits0to7(std::int64_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t bits8to15(std::int64_t value) { return static_cast<std::uint8_t>((value >> 8) & 0xFF); }

Command gainCellCommand(char letter, std::int64_t cell, std::int64_t value) {
  return {letter, bits0to7(cell), kCellAddressHigh, bits0to7(value)};
}

}  // namespace

const CommandKind& commandKind(char letter) {
  for (const CommandKind& kind : kCommands) {
    if (kind.letter == letter) return kind;
  }
  throw std::invalid_argument("'" + std::string(1, letter) + "' is not a command of the controller");
}

Command makeCommand(char letter, std::int64_t value) {
  const CommandKind& kind = commandKind(letter);
  switch (kind.shape) {
    case Shape::None:
      return {letter};
    case Shape::Byte:
      return {letter, bits0to7(value)};
    case Shape::Word:
      return {letter, bits0to7(value), bits8to15(value)};
    case Shape::GainCell:
      break;
  }
  throw std::invalid_argument("'" + std::string(1, letter) + "' addresses a gain cell");
}

Command readGainCellCommand(std::int64_t cell) { return gainCellCommand('E', cell, kReadRequestValue); }
Command writeGainCellCommand(std::int64_t cell, std::int64_t gain) { return gainCellCommand('e', cell, gain); }

Frame makeFrame(char letter, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3) {
  commandKind(letter);  // refuses a letter outside the set
  return {kFrameStart, kFrameLength, static_cast<std::uint8_t>(letter), p1, p2, p3};
}

Frame makeFrame(const Command& command) { return makeFrame(command.letter, command.p1, command.p2, command.p3); }

void WriteFrame(Program& program, char letter, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3) {
  const Frame frame = makeFrame(letter, p1, p2, p3);
  // A failed write shows itself as a reply that never comes.
  program.ControllerPort.Write(frame.data(), static_cast<std::int32_t>(frame.size()));
}

void WriteFrame(Program& program, const Command& command) {
  WriteFrame(program, command.letter, command.p1, command.p2, command.p3);
}

void SendCommand(Program& program, char letter, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3) {
  // Cleared before the frame goes out, so a reply decoded here is the only
  // thing that can set it again.
  program.ReplyReceived = false;
  WriteFrame(program, letter, p1, p2, p3);
  program.desktop.sleep(kExchangeWaitMs);
  DecodeReply(program);
}

void SendCommand(Program& program, const Command& command) {
  SendCommand(program, command.letter, command.p1, command.p2, command.p3);
}

}  // namespace korvane
