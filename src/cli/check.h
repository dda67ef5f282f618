// korvane-setfile check: the check a load makes before it sends a set file,
// with every line it would refuse, and what a load of the file leaves out.
#pragma once

#include <ostream>
#include <string>

namespace korvane {

// Prints the outcome on `out`. Returns kExitSame when a load would send the
// file whole, kExitDiffer when it would refuse it, kExitTrouble (reported on
// `err`) when it is no set file.
int runCheck(const std::string& file, std::ostream& out, std::ostream& err);

}  // namespace korvane
