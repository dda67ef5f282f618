// FormatFloat: pictures with '0', '#', '.' and literal text.
#include "base/format_float.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace korvane {
namespace {

struct Picture {
  int integerPlaceholders = 0;   // '0' and '#' before the point
  int minIntegerDigits = 0;      // from the leftmost '0' before the point on
  int fractionPlaceholders = 0;  // '0' and '#' after the point
  int minFractionDigits = 0;     // up to the rightmost '0' after the point
  bool hasPoint = false;
};

Picture analyse(std::string_view picture) {
  Picture p;
  bool afterPoint = false;
  int firstZero = -1;
  for (char c : picture) {
    if (c == '.' && !afterPoint) {
      afterPoint = true;
      p.hasPoint = true;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++p.fractionPlaceholders;
        if (c == '0') p.minFractionDigits = p.fractionPlaceholders;
      } else {
        if (c == '0' && firstZero < 0) firstZero = p.integerPlaceholders;
        ++p.integerPlaceholders;
      }
    }
  }
  if (firstZero >= 0) p.minIntegerDigits = p.integerPlaceholders - firstZero;
  return p;
}

// How many digits after the point the exact decimal expansion of `value`
// has at most: a long double holds 64 significant bits, so a value of 2^e
// times a fraction in [0.5, 1) ends within 64 - e binary, and as many
// decimal, places.
int exactFractionDigits(long double value) {
  if (value == 0) return 0;
  int exponent = 0;
  std::frexp(value, &exponent);
  return std::max(0, std::numeric_limits<long double>::digits - exponent);
}

// The exact decimal expansion of |value| (with every digit asked for, the
// expansion is exact, not rounded), rounded half away from zero to
// `decimals` places, as integer and fraction digit strings. The expansion
// always reaches one digit beyond the last one shown, however many places
// the picture asks for.
void roundedDigits(long double value, int decimals, std::string& integer, std::string& fraction) {
  const long double magnitude = std::fabs(value);
  const int precision = std::max(decimals + 1, exactFractionDigits(magnitude));
  int exponent = 0;
  std::frexp(magnitude, &exponent);
  // Below 2^e a number has at most e / 3 + 1 integer digits, as log10(2) < 1/3.
  const int integerDigits = std::max(1, exponent / 3 + 1);
  std::string text(static_cast<std::size_t>(integerDigits + 2 + precision), '\0');  // the point and one spare
  const auto written =
      std::to_chars(text.data(), text.data() + text.size(), magnitude, std::chars_format::fixed, precision);
  text.resize(static_cast<std::size_t>(written.ptr - text.data()));
  std::size_t point = text.find('.');
  integer = text.substr(0, point);
  std::string rest = text.substr(point + 1);
  fraction = rest.substr(0, static_cast<std::size_t>(decimals));
  bool roundUp = rest[static_cast<std::size_t>(decimals)] >= '5';
  if (roundUp) {
    std::string digits = integer + fraction;
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++digits[static_cast<std::size_t>(i)];
    } else {
      digits.insert(digits.begin(), '1');
    }
    integer = digits.substr(0, digits.size() - fraction.size());
    fraction = digits.substr(digits.size() - fraction.size());
  }
  std::size_t nonZero = integer.find_first_not_of('0');
  integer = nonZero == std::string::npos ? std::string() : integer.substr(nonZero);
}

}  // namespace

std::string FormatFloat(std::string_view picture, long double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const Picture p = analyse(picture);
  std::string integer;
  std::string fraction;
  roundedDigits(value, p.fractionPlaceholders, integer, fraction);
  while (static_cast<int>(integer.size()) < p.minIntegerDigits) integer.insert(integer.begin(), '0');
  int shownFraction = p.fractionPlaceholders;
  while (shownFraction > p.minFractionDigits && fraction[static_cast<std::size_t>(shownFraction - 1)] == '0') {
    --shownFraction;
  }
  const bool negative = value < 0 && (integer.find_first_not_of('0') != std::string::npos ||
                                      fraction.find_first_not_of('0') != std::string::npos);

  std::string out;
  if (negative) out += '-';
  bool afterPoint = false;
  int integerSeen = 0;
  int fractionSeen = 0;
  const int integerLength = static_cast<int>(integer.size());
  for (char c : picture) {
    if (c == '.' && !afterPoint) {
      afterPoint = true;
      if (shownFraction > 0) out += decimalSeparator;
    } else if ((c == '0' || c == '#') && !afterPoint) {
      // Placeholder k (from the left) shows the digit at position
      // integerPlaceholders-1-k from the right; the first one also takes
      // every digit the picture has no room for.
      const int fromRight = p.integerPlaceholders - 1 - integerSeen;
      if (integerSeen == 0 && integerLength > p.integerPlaceholders) {
        out += integer.substr(0, static_cast<std::size_t>(integerLength - p.integerPlaceholders + 1));
      } else if (fromRight < integerLength) {
        out += integer[static_cast<std::size_t>(integerLength - 1 - fromRight)];
      }
      ++integerSeen;
    } else if (c == '0' || c == '#') {
      if (fractionSeen < shownFraction) out += fraction[static_cast<std::size_t>(fractionSeen)];
      ++fractionSeen;
    } else {
      out += c;
    }
  }
  if (p.integerPlaceholders == 0 && !integer.empty()) {
    // A picture with no integer placeholder still shows the integer digits,
    // in front of the point.
    std::size_t at = negative ? 1 : 0;
    std::size_t point = p.hasPoint ? out.find(decimalSeparator, at) : std::string::npos;
    out.insert(point == std::string::npos ? out.size() : point, integer);
  }
  return out;
}

}  // namespace korvane
