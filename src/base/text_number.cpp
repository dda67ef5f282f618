// Text-to-number conversions for field texts and for files.
#include "base/text_number.h"

#include <cctype>
#include <cmath>
#include <limits>
#include <string>

#include "base/decimal_text.h"

namespace korvane {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Length of the longest prefix of `text` that is a decimal number with the
// given separator (sign, digits, separator, fraction, exponent), or 0 when
// there is none. `digitsSeen` tells whether any mantissa digit was taken.
std::size_t numberPrefix(std::string_view text, char separator) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == separator) {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

// Which way a number prefix (with '.' as its point) beyond the range of
// long double lies: true when its leading significant digit stands at a
// power of ten of 0 or more, so the number is too large, false when it is
// too small. Neither a minus sign in the exponent nor the count of digits
// alone tells: "1000e-3" is 1 and "0.0001" has no exponent at all.
bool beyondLargest(std::string_view number) {
  constexpr long long kFar = 1000000000;  // far beyond either end of the range
  long long power = 0;                    // of the leading significant digit
  bool significant = false;
  bool afterPoint = false;
  std::size_t i = number.find_first_not_of("+-");
  for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
    if (number[i] == '.') {
      afterPoint = true;
    } else if (significant || number[i] != '0') {
      if (!significant && afterPoint) --power;
      if (significant && !afterPoint && power < kFar) ++power;
      significant = true;
    } else if (afterPoint && power > -kFar) {
      --power;  // a zero between the point and the first significant digit
    }
  }
  if (i < number.size()) {
    const bool negative = i + 1 < number.size() && number[i + 1] == '-';
    long long exponent = 0;
    for (++i; i < number.size(); ++i) {
      if (isDigit(number[i]) && exponent < kFar) exponent = exponent * 10 + (number[i] - '0');
    }
    power += negative ? -exponent : exponent;
  }
  return power >= 0;
}

// Converts a number prefix found by numberPrefix to long double without the
// C locale (which Qt changes at start-up).
long double convert(std::string_view number, char separator) {
  std::string plain(number);
  if (separator != '.') {
    for (char& c : plain) {
      if (c == separator) c = '.';
    }
  }
  std::size_t start = plain[0] == '+' ? 1 : 0;
  long double value = 0;
  const std::errc error = decimalToLongDouble(plain.data() + start, plain.data() + plain.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Beyond the range of long double: keep the sign and the direction.
    const bool negative = plain[start] == '-';
    if (!beyondLargest(plain)) return negative ? -0.0L : 0.0L;
    return negative ? -std::numeric_limits<long double>::infinity() : std::numeric_limits<long double>::infinity();
  }
  return value;
}

}  // namespace

std::optional<long double> parseFieldNumber(std::string_view text, char decimalSeparator) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  std::string_view core = text.substr(begin, end - begin);
  if (core.empty()) return std::nullopt;
  std::size_t length = numberPrefix(core, decimalSeparator);
  if (length == 0 || length != core.size()) return std::nullopt;
  return convert(core, decimalSeparator);
}

double fileAtof(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isCSpace(text[i])) ++i;
  std::string_view rest = text.substr(i);
  std::size_t length = numberPrefix(rest, '.');
  if (length == 0) return 0.0;
  return static_cast<double>(convert(rest.substr(0, length), '.'));
}

std::int32_t fileAtol(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{1} << 32;
  while (i < text.size() && isDigit(text[i])) {
    value = value * 10 + (text[i++] - '0');
    if (value > kLimit) value = kLimit;  // saturate: the digits that follow cannot bring it back
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::int64_t truncateToInt64(long double value) {
  if (std::isnan(value)) return 0;
  constexpr long double kMax = 9223372036854775807.0L;
  if (value >= kMax) return std::numeric_limits<std::int64_t>::max();
  if (value <= -kMax) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

}  // namespace korvane
