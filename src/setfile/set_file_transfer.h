// Saving the controller to a set file and loading a set file into it.
#pragma once

#include "app/program.h"

namespace korvane {

// File > Get data from controller.
void GetDataFromController(Program& program);

// File > Put data in controller.
void Putdataincontroller1Click(Program& program);

}  // namespace korvane
