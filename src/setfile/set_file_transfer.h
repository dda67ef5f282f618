// Saving the controller to a set file and loading a set file into it.
#pragma once

#include "window/program.h"

namespace korvane {

// File > Get data from controller: reads the whole controller afresh, shows
// the progress in stat and writes the chosen set file. Writes nothing unless
// every value was read.
void GetDataFromController(Program& program);

// File > Put data in controller: checks the whole chosen set file, then sends
// it line by line with its progress in stat.
void Putdataincontroller1Click(Program& program);

}  // namespace korvane
