// The 128 gain cells: creation, geometry and their three handlers.
#pragma once

#include "window/program.h"

namespace korvane {

// Creates the cells in Gain_Table_Group, whose height at that moment is
// `groupHeight`, with their tags, geometry, font and handlers.
void createGainCells(Program& program, int groupHeight);

void GainCellChange(Program& program, Field& cell);
void GainCellKeyPress(Program& program, Field& cell, int& key);
void GainCellKeyDown(Program& program, Field& cell, int key, bool shift);

}  // namespace korvane
