// Colours of the window model, as 0x00BBGGRR values (blue in the high byte,
// red in the low byte), the way the controller tool has always stored them.
#pragma once

#include <cstdint>

namespace korvane {

using Colour = std::uint32_t;

constexpr Colour kBlack = 0x000000;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kYellow = 0x00FFFF;  // the modified mark: edited, not yet confirmed
constexpr Colour kWhite = 0xFFFFFF;   // as last read from the controller
constexpr Colour kSilver = 0xC0C0C0;
constexpr Colour kGrey = 0x808080;

constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

}  // namespace korvane
