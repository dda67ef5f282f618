// A set file named on the command line, read whole and checked the way a
// load reads and checks it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "setfile/set_file_format.h"

namespace korvane {

struct SetFileInput {
  std::string name;                  // as given on the command line
  std::vector<SetFilePiece> pieces;  // every piece of the file, checked
  std::optional<std::string> error;  // why it is no set file at all; then there are no pieces
};

// Reads and checks the file. It is no set file when it cannot be read or
// when no line of it starts with a key.
SetFileInput readSetFileInput(const std::string& name);

// Why a load would send none of the file, naming the first line it cannot
// send; none when it would be sent whole.
std::optional<std::string> loadRefusal(const SetFileInput& input);

}  // namespace korvane
