// The gain cells (placeholder until the grid lands).
#include "gain/gain_grid.h"

namespace korvane {

void createGainCells(Program&, int) {}
void GainCellChange(Program&, Field&) {}
void GainCellKeyPress(Program&, Field&, int&) {}
void GainCellKeyDown(Program&, Field&, int, bool) {}

}  // namespace korvane
