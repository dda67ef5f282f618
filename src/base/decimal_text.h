// The one conversion of decimal text to long double that the text-to-number
// readings build on, kept apart because the platforms' libraries differ: not
// every C++ library converts to the full precision of long double.
#pragma once

#include <system_error>

namespace korvane {

// Converts [first, last), a plain decimal number with '.' as its point
// (optional '-', digits, fraction, exponent; nothing else), to long double,
// independently of the C locale. As std::from_chars: std::errc{} on success,
// std::errc::result_out_of_range (value untouched) when the number lies
// beyond the range of long double either way.
std::errc decimalToLongDouble(const char* first, const char* last, long double& value);

}  // namespace korvane
