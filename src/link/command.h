// Command frames: 0x02, 0x06, the command letter and three parameter bytes,
// and the two ways a frame goes out.
#pragma once

#include <array>
#include <cstdint>

#include "app/program.h"

namespace korvane {

using Frame = std::array<std::uint8_t, 6>;

Frame makeFrame(char letter, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);

// Writes the frame with one Write; neither waits nor reads. Nothing is sent on
// a closed port.
void WriteFrame(Program& program, char letter, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);

// The standard exchange: clear ReplyReceived, write the frame, wait 125 ms,
// DecodeReply once.
void SendCommand(Program& program, char letter, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3);

}  // namespace korvane
