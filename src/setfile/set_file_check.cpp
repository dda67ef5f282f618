// The whole-file check of a set file.
#include "setfile/set_file_check.h"

#include <string>

namespace korvane {

std::vector<SetFilePiece> checkedSetFilePieces(std::string_view contents) {
  std::vector<SetFilePiece> pieces;
  int line = 1;
  for (const std::string& text : splitSetFilePieces(contents)) {
    pieces.push_back(parseSetFilePiece(line, text));
    if (text.back() == '\n') ++line;
  }
  return pieces;
}

const SetFilePiece* firstRefusedPiece(std::span<const SetFilePiece> pieces) {
  for (const SetFilePiece& piece : pieces) {
    if (piece.problem) return &piece;
  }
  return nullptr;
}

}  // namespace korvane
