// The values a set file sends, put together from the commands of its pieces.
// This is the one place that reads a piece's command.
#include "cli/set_file_values.h"

namespace korvane {

bool startsWithKey(const SetFilePiece& piece) {
  return piece.kind != SetFilePiece::Kind::None || piece.problem.has_value();
}

std::optional<std::size_t> parameterOf(const SetFilePiece& piece) {
  if (piece.kind != SetFilePiece::Kind::Parameter) return std::nullopt;
  for (std::size_t i = 0; i < kSetFileParameters.size(); ++i) {
    if (commandLetterOf(kSetFileParameters[i]) == piece.command.letter) return i;
  }
  return std::nullopt;
}

// What the controller receives is the frame, so the values are read back
// from the bytes the one encoder packs, not from the numbers before packing.
std::optional<int> gainCellOf(const SetFilePiece& piece) {
  if (piece.kind != SetFilePiece::Kind::Gain) return std::nullopt;
  return makeFrame(piece.command)[3];  // the low byte of the cell's address is its index
}

std::int32_t sentValue(const SetFilePiece& piece) {
  const Frame frame = makeFrame(piece.command);
  if (piece.kind == SetFilePiece::Kind::Gain) return frame[5];
  return frame[3] | frame[4] << 8;  // a byte parameter leaves the second byte 0
}

SetFileValues setFileValues(std::span<const SetFilePiece> pieces) {
  SetFileValues values;
  for (const SetFilePiece& piece : pieces) {
    if (const auto parameter = parameterOf(piece)) {
      values.parameters[*parameter] = sentValue(piece);
    } else if (const auto cell = gainCellOf(piece)) {
      values.gains[static_cast<std::size_t>(*cell)] = static_cast<std::uint8_t>(sentValue(piece));
    }
  }
  return values;
}

}  // namespace korvane
