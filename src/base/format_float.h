// Number to text by a picture: '0' a digit always shown, '#' a digit shown
// only when significant, '.' the decimal point, anything else copied as is.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

// Rounds half away from zero on the exact binary value (0.125 with "#.00" is
// ".13"). A value needing more integer digits than the picture has shows them
// all. `decimalSeparator` replaces the '.' of the picture in the result.
std::string FormatFloat(std::string_view picture, long double value, char decimalSeparator = '.');

}  // namespace korvane
