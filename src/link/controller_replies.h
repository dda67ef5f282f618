// The replies a controller holding given values sends, laid out at the very
// positions the appliers read them from. They let values that never came from
// a controller, such as a set file's, be shown exactly as the window shows
// the controller's own after a full read.
#pragma once

#include <array>
#include <cstdint>

#include "base/controller_settings.h"

namespace korvane {

// 'C': the eleven raw parameters of `settings` (MapType as bits 0-1); the
// derived span, offset and full scale are not carried.
std::array<std::uint8_t, 20> configurationReplyOf(const ControllerSettings& settings);

// 'E': the gain of cell `cell` (0 ... 127), as a read request is answered.
std::array<std::uint8_t, 6> gainCellReplyOf(int cell, std::uint8_t gain);

}  // namespace korvane
