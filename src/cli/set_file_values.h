// What loading a set file leaves in the controller: for each of the eleven
// parameters and each of the 128 gain cells, the value the load sends last,
// or none where the file sends nothing and the controller keeps its own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "cli/set_file_parameters.h"
#include "setfile/set_file_format.h"

namespace korvane {

inline constexpr int kGainCellCount = 128;

struct SetFileValues {
  std::array<std::optional<std::int32_t>, kParameterCount> parameters;  // as kSetFileParameters
  std::array<std::optional<std::uint8_t>, kGainCellCount> gains;

  bool operator==(const SetFileValues&) const = default;
};

// Whether the piece starts with a key: it sends a command, or its value
// cannot be sent. Any other piece a load skips.
bool startsWithKey(const SetFilePiece& piece);

// The parameter a piece sets, by its place in kSetFileParameters; none for a
// gain line or a piece of no key. NUM_CYLS= and IGN_CYCS= set TRG_REV = and
// TRG_INJ =, as their commands do.
std::optional<std::size_t> parameterOf(const SetFilePiece& piece);

// The gain cell a piece sets, or none for any other piece.
std::optional<int> gainCellOf(const SetFilePiece& piece);

// The value a parameter or gain piece sends, as the controller takes it from
// the frame: a MAP_TYPE= of 6 sends 2, a FUEL_MX = of 12.9 sends 12.
std::int32_t sentValue(const SetFilePiece& piece);

// What `pieces` leave in the controller; none of them may be refused. A key
// that comes twice is sent twice, and the later value stays.
SetFileValues setFileValues(std::span<const SetFilePiece> pieces);

}  // namespace korvane
