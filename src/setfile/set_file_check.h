// The check a load makes of a whole set file before it sends anything: every
// piece the line reader returns, numbered by the line of the file it stands
// on, and the first piece whose value cannot be sent.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "setfile/set_file_format.h"

namespace korvane {

// Every piece of `contents`, in file order, each recognised and checked. A
// piece is numbered by its line in the file, as an editor counts lines, so
// the pieces of a line longer than one piece share its number.
std::vector<SetFilePiece> checkedSetFilePieces(std::string_view contents);

// The first piece that cannot be sent, or nullptr when the file can be sent
// whole.
const SetFilePiece* firstRefusedPiece(std::span<const SetFilePiece> pieces);

}  // namespace korvane
