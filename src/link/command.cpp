// Building frames from the command table and sending them.
#include "link/command.h"

#include <stdexcept>
#include <string>

#include "link/reply_decoder.h"

namespace korvane {
namespace {

constexpr std::uint8_t kFrameStart = 0x02;
constexpr std::uint8_t kFrameLength = 0x06;
constexpr std::int64_t kReadRequestValue = 32;  // the controller ignores it; always 32

std::uint8_t bits0to7(std::int64_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t bits8to15(std::int64_t value) { return static_cast<std::uint8_t>((value >> 8) & 0xFF); }

std::invalid_argument refusal(char letter, const char* why) {
  return std::invalid_argument("'" + std::string(1, letter) + "' " + why);
}

}  // namespace

const CommandKind& commandKind(char letter) {
  for (const CommandKind& kind : kCommands) {
    if (kind.letter == letter) return kind;
  }
  throw refusal(letter, "is not a command of the controller");
}

Command makeCommand(char letter, std::int64_t value) {
  if (commandKind(letter).shape == Shape::GainCell) throw refusal(letter, "addresses a gain cell");
  return {letter, value};
}

Command readGainCellCommand(std::int64_t cell) { return {'E', kReadRequestValue, cell}; }
Command writeGainCellCommand(std::int64_t cell, std::int64_t gain) { return {'e', gain, cell}; }

std::int32_t cellAddress(const Command& command) { return kFirstGainCellAddress + bits0to7(command.cell); }

Frame makeFrame(const Command& command) {
  Frame frame{kFrameStart, kFrameLength, static_cast<std::uint8_t>(command.letter), 0, 0, 0};
  switch (commandKind(command.letter).shape) {
    case Shape::None:
      break;
    case Shape::Byte:
      frame[3] = bits0to7(command.value);
      break;
    case Shape::Word:
      frame[3] = bits0to7(command.value);
      frame[4] = bits8to15(command.value);
      break;
    case Shape::GainCell:
      frame[3] = bits0to7(cellAddress(command));
      frame[4] = bits8to15(cellAddress(command));
      frame[5] = bits0to7(command.value);
      break;
  }
  return frame;
}

Desktop::Moment WriteFrame(Program& program, const Command& command) {
  const Frame frame = makeFrame(command);
  // Taken before the write: the system may run something else before the
  // write returns (on a pseudo-terminal, the kernel worker that carries the
  // bytes across, for milliseconds now and then), and the frame is on its
  // way meanwhile, so the wait that follows must not start that much later.
  const Desktop::Moment handedOver = program.desktop.now();
  // A failed write shows itself as a reply that never comes.
  program.ControllerPort.Write(frame.data(), static_cast<std::int32_t>(frame.size()));
  return handedOver;
}

void SendCommand(Program& program, const Command& command) {
  // Cleared before the frame goes out, so a reply decoded here is the only
  // thing that can set it again.
  program.ReplyReceived = false;
  program.desktop.sleepFrom(WriteFrame(program, command), kExchangeWaitMs);
  DecodeReply(program);
}

}  // namespace korvane
