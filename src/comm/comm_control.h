// Communication control: starting and stopping, the 100 ms timer's state
// machine, and opening the port for the set-file transfers.
#pragma once

#include "window/program.h"

namespace korvane {

// The identify polls of one connection attempt before it is given up.
constexpr int kConnectPolls = 6;

void Begin_CommClick(Program& program);
void Halt_CommClick(Program& program);

// One tick of the 100 ms timer. Does nothing while the port is closed or while
// another handler that talks to the controller is unfinished (inside one of
// its message boxes), so no exchange ever starts inside another.
void get_data_timerTimer(Program& program);

// Takes the port over for a set-file transfer: state Idle, port reopened.
// Returns whether the port is open (false only when no port is selected; a
// port that cannot be opened ends the program).
bool OpenForFileTransfer(Program& program);

}  // namespace korvane
