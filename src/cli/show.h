// korvane-setfile show: a set file's eleven parameters and its gain map as
// the window shows them once the file has been loaded into a controller and
// read back, or the raw values the load sends.
#pragma once

#include <ostream>
#include <string>

namespace korvane {

// Prints the file on `out`; returns the exit status (an unusable file is
// reported on `err`).
int runShow(const std::string& file, bool raw, std::ostream& out, std::ostream& err);

}  // namespace korvane
