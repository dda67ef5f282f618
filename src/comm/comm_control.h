// Communication control: starting and stopping, the 100 ms timer's state
// machine, and opening the port for the set-file transfers.
#pragma once

#include "app/program.h"

namespace korvane {

void Begin_CommClick(Program& program);
void Halt_CommClick(Program& program);
void get_data_timerTimer(Program& program);
void OpenForFileTransfer(Program& program);

}  // namespace korvane
