// Communication control (placeholder until it lands).
#include "comm/comm_control.h"

namespace korvane {

void Begin_CommClick(Program&) {}
void Halt_CommClick(Program&) {}
void get_data_timerTimer(Program&) {}
void OpenForFileTransfer(Program&) {}

}  // namespace korvane
