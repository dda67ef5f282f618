// korvane-setfile diff: every parameter and every gain cell that two set
// files send the controller differently, in the window's texts and raw.
#pragma once

#include <ostream>
#include <string>

namespace korvane {

// Prints the differences on `out`, then a line counting them. Returns
// kExitSame when the two send the same values, kExitDiffer when they do not,
// kExitTrouble (reported on `err`) when either is unusable.
int runDiff(const std::string& fileA, const std::string& fileB, std::ostream& out, std::ostream& err);

}  // namespace korvane
