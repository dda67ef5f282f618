// Decimal text to long double where the C++ library converts at full
// precision.
#include <charconv>

#include "base/decimal_text.h"

namespace korvane {

std::errc decimalToLongDouble(const char* first, const char* last, long double& value) {
  return std::from_chars(first, last, value).ec;
}

}  // namespace korvane
