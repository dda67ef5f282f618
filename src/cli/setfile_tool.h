// korvane-setfile's command line: show, diff and check, each on set files
// named by the user.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace korvane {

// Runs the command the arguments (after the program name) ask for and
// returns the exit status: 2 for a command line that asks for none.
int runSetFileTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace korvane
