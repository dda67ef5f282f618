// Conversions between text and numbers: field texts in the user's locale, and
// the locale-free atof/atol readings of set files and comm.ini.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace korvane {

// A field text as a number: surrounding blanks, an optional sign, digits with
// an optional decimal separator, an optional exponent. Anything else, or no
// digits at all, gives no value; the caller raises the message it needs.
std::optional<long double> parseFieldNumber(std::string_view text, char decimalSeparator);

// C atof without the locale: skips leading white space, takes an optional
// sign, digits with an optional '.' and fraction and an optional exponent, and
// stops at the first character that cannot continue the number. No number
// gives 0. Infinities, NaNs and hexadecimal forms are not numbers here.
double fileAtof(std::string_view text);

// C atol without the locale: white space, sign, decimal digits; stops at the
// first other character, 0 for no digits. Saturates at the 32-bit limits.
std::int32_t fileAtol(std::string_view text);

// Truncates toward zero, saturating at the 64-bit limits; NaN gives 0.
std::int64_t truncateToInt64(long double value);

}  // namespace korvane
