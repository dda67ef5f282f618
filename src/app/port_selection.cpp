// Port selection (placeholder until comm.ini handling lands).
#include "app/port_selection.h"

namespace korvane {

void readCommIni(Program& program) { program.SelectedPort = 0; }
void setPortMenuChecks(Program&) {}
void COM11Click(Program&) {}
void COM21Click(Program&) {}
void COM31Click(Program&) {}
void COM41Click(Program&) {}

}  // namespace korvane
