// Reading a set file for the command line.
#include "cli/set_file_input.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/set_file_values.h"
#include "setfile/set_file_check.h"
#include "setfile/set_file_io.h"

namespace korvane {

SetFileInput readSetFileInput(const std::string& name) {
  SetFileInput input{name, {}, std::nullopt};
  errno = 0;
  const std::optional<std::string> contents = readSetFile(name);
  if (!contents) {
    // The reader fails only where fopen or fread did, which leave errno set.
    input.error = "cannot be read: " + std::string(errno != 0 ? std::strerror(errno) : "unknown error");
    return input;
  }
  std::vector<SetFilePiece> pieces = checkedSetFilePieces(*contents);
  if (std::ranges::none_of(pieces, startsWithKey)) {
    input.error = "is not a set file: no line starts with a set-file key";
    return input;
  }
  input.pieces = std::move(pieces);
  return input;
}

std::optional<std::string> loadRefusal(const SetFileInput& input) {
  const SetFilePiece* refused = firstRefusedPiece(input.pieces);
  if (refused == nullptr) return std::nullopt;
  return setFileLineProblem(*refused) + "; a load would send none of the file";
}

}  // namespace korvane
