// Decimal text to long double where the C++ library converts at full
// precision.
#include "base/decimal_text.h"

#include <charconv>

namespace korvane {

std::errc decimalToLongDouble(const char* first, const char* last, long double& value) {
  return std::from_chars(first, last, value).ec;
}

}  // namespace korvane
