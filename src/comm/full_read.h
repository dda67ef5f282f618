// The full read after connecting: every field and cell blanked and marked,
// the configuration asked for, then the 128 gain cells one by one.
#pragma once

#include "window/program.h"

namespace korvane {

// Pause between a cell request and reading its reply.
constexpr int kCellRequestWaitMs = 25;

void ReadAllFromController(Program& program);

// Requests gain cell i with a raw 'E' frame, waits, and takes one reply.
// Returns whether a reply was accepted.
bool requestGainCell(Program& program, int index);

}  // namespace korvane
