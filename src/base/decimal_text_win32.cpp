// Decimal text to long double with mingw-w64: its std::from_chars for long
// double goes through double and loses the last bits of a long double
// ("-1.5E-1" is not the nearest long double to -0.15), so the C runtime's
// own full-precision conversion is used. Its decimal point is that of the
// C locale, which the program never changes on Windows.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/decimal_text.h"

extern "C" long double __mingw_strtold(const char*, char**);

namespace korvane {

std::errc decimalToLongDouble(const char* first, const char* last, long double& value) {
  const std::string text(first, last);  // the runtime needs a terminated string
  errno = 0;
  char* end = nullptr;
  const long double converted = __mingw_strtold(text.c_str(), &end);
  // A result too small to be normal but not zero is kept, as from_chars does.
  if (errno == ERANGE && (converted == 0 || std::isinf(converted))) return std::errc::result_out_of_range;
  value = converted;
  return std::errc{};
}

}  // namespace korvane
