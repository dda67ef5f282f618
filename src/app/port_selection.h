// Port selection: SelectedPort, the Port menu's check marks and comm.ini.
#pragma once

#include "window/program.h"

namespace korvane {

// Start-up: SelectedPort from the number at the start of comm.ini, or 0 with
// a message when there is no readable comm.ini.
void readCommIni(Program& program);

// Checks the Port menu item of SelectedPort (1 to 4) and unchecks the others.
void setPortMenuChecks(Program& program);

// The Port menu: choose port n, check its item and remember it in comm.ini.
void COM11Click(Program& program);
void COM21Click(Program& program);
void COM31Click(Program& program);
void COM41Click(Program& program);

}  // namespace korvane
