// korvane-setfile: shows, compares and checks set files on the command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/setfile_tool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return korvane::runSetFileTool(args, std::cout, std::cerr);
}
