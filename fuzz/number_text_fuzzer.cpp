// Numbers and texts: a field text read in the user's locale and turned into
// every raw value the upload sends, and numbers shown by arbitrary pictures.
//
// Input layout (missing bytes read as 0):
//   byte 0       bit 0: the decimal separator is a comma; bit 1: the value
//                is not a number; bit 2: the value is an infinity
//   bytes 1-8    value mantissa (signed, little-endian)
//   bytes 9-10   value exponent of two (signed; wide enough to reach the
//                smallest and the largest extended values)
//   bytes 11-12  the tach period that gives the full-scale RPM
//   byte 13      the MAP sensor range
//   byte 14 on   a text, read both as a field text and as a picture
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "base/format_float.h"
#include "base/text_number.h"
#include "comm/upload_conversions.h"
#include "fuzz_support.h"
#include "link/conversions.h"

namespace korvane::fuzzing {
namespace {

struct Input {
  char separator;
  long double value;
  std::int32_t fullScaleRpm;
  MapRange mapRange;
  std::string text;
};

Input readInput(InputBytes& bytes) {
  Input in;
  const std::uint8_t flags = bytes.next();
  in.separator = (flags & 1) != 0 ? ',' : '.';
  const auto mantissa = static_cast<std::int64_t>(bytes.nextUint64());
  const auto exponent = static_cast<std::int16_t>(bytes.nextWord());
  in.value = std::ldexp(static_cast<long double>(mantissa), exponent);
  if ((flags & 2) != 0) in.value = std::numeric_limits<long double>::quiet_NaN();
  if ((flags & 4) != 0) in.value = std::copysign(std::numeric_limits<long double>::infinity(), in.value);
  in.fullScaleRpm = fullScaleRpmOf(bytes.nextWord()).value_or(1000);
  in.mapRange = mapRangeOf(bytes.next());
  in.text = bytes.restAsText();
  return in;
}

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string withPoint(std::string_view text, char separator) {
  std::string plain(text);
  for (char& c : plain) {
    if (c == separator) c = '.';
  }
  return plain;
}

// What C's strtold makes of the whole text, or no value when it does not
// read all of it. Empty when strtold cannot serve as the reference at all:
// field texts take no infinities, NaNs, hexadecimal numbers or leading
// control blanks, and with a comma a full stop is no separator.
std::optional<std::optional<long double>> referenceFieldNumber(std::string_view text, char separator) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::optional<long double>();
  const std::string_view core = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (isCSpace(core[0]) || core.find('\0') != std::string_view::npos) return std::nullopt;
  if (separator != '.' && core.find('.') != std::string_view::npos) return std::nullopt;
  const std::size_t body = core[0] == '+' || core[0] == '-' ? 1 : 0;
  if (body < core.size() && std::string_view("iInN").find(core[body]) != std::string_view::npos) return std::nullopt;
  if (core.substr(body, 2) == "0x" || core.substr(body, 2) == "0X") return std::nullopt;
  const std::string plain = withPoint(core, separator);
  char* end = nullptr;
  const long double value = std::strtold(plain.c_str(), &end);
  if (end != plain.c_str() + plain.size()) return std::optional<long double>();
  return std::optional<long double>(value);
}

void checkFieldNumber(const Input& in, const std::optional<long double>& parsed) {
  const auto reference = referenceFieldNumber(in.text, in.separator);
  if (reference) {
    require(parsed.has_value() == reference->has_value(), "a field text is a number exactly when C reads it whole");
    const bool tiny = parsed && std::fabs(**reference) < LDBL_MIN;  // below the normal range either may flush
    require(!parsed || *parsed == **reference || (tiny && *parsed == 0), "a field number has the value C reads");
  }
  try {
    const long double upload = uploadNumber(in.text, in.separator);
    require(parsed && upload == *parsed, "the upload reads a field as the field reader does");
  } catch (const UploadConversionError&) {
    require(!parsed, "the upload refuses only a text that is not a number");
  }
}

template <typename Convert>
void convertOrRefuse(Convert convert) {
  try {
    convert();
  } catch (const UploadConversionError&) {
    // A value beyond 32 bits is refused like a text that is not a number.
  }
}

void checkConversions(long double x, const Input& in) {
  const double wide = static_cast<double>(x);
  convertOrRefuse([&] { require(std::fabs(integerConversion(x) - wide) <= 0.5, "an integer is the nearest one"); });
  convertOrRefuse([&] { require(std::fabs(gainRaw(x) - wide * 128) <= 0.5, "a gain byte is the nearest 1/128"); });
  convertOrRefuse([&] { require(wide < 0 || fuelScalerRaw(x) >= 0, "a positive scaler stays positive"); });
  convertOrRefuse([&] { revLimiterRaw(x, in.fullScaleRpm); });
  convertOrRefuse([&] {
    const std::int32_t raw = pressureRaw(x, in.mapRange.offsetKpa, in.mapRange.spanKpa);
    require(raw >= 0 && raw <= 1023, "a pressure is kept within the sensor's 10 bits");
  });
  const std::int32_t cut = fuelCutTimeRaw(x);
  require(cut >= 0 && cut <= 255, "a fuel cut time is kept within a byte");
  convertOrRefuse([&] {
    const std::int32_t inhibit = injInhibitRaw(x);
    require(inhibit >= 0 && inhibit <= 255, "an inhibit time is kept within a byte");
  });
  convertOrRefuse([&] {
    const std::int32_t rpm = integerConversion(x);
    if (rpm > 999) require(oneShotRaw(rpm) >= 0 && oneShotRaw(rpm) <= 18750, "a full scale gives a 16-bit period");
  });
}

// Digits after the point, when the picture holds nothing but '0', '#' and at
// most one point; no value for a picture with literal text.
std::optional<int> plainPictureDecimals(std::string_view picture) {
  if (picture.find_first_not_of("0#.") != std::string_view::npos) return std::nullopt;
  const std::size_t point = picture.find('.');
  if (point == std::string_view::npos) return 0;
  if (picture.find('.', point + 1) != std::string_view::npos) return std::nullopt;
  return static_cast<int>(picture.size() - point - 1);
}

long double ulp(long double y) {
  const long double a = std::fabs(y);
  return std::nextafter(a, std::numeric_limits<long double>::infinity()) - a;
}

void checkFormat(std::string_view picture, long double value, char separator) {
  const std::string shown = FormatFloat(picture, value, separator);
  if (std::isnan(value)) return require(shown == "NAN", "a value that is not a number shows as NAN");
  if (std::isinf(value)) return require(shown == (value < 0 ? "-INF" : "INF"), "an infinity shows as INF");
  const std::optional<int> decimals = plainPictureDecimals(picture);
  if (!decimals) return;
  const std::string plain = withPoint(shown, separator);
  char* end = nullptr;
  const long double back = plain.empty() ? 0 : std::strtold(plain.c_str(), &end);
  require(plain.empty() || end == plain.c_str() + plain.size(), "a plain picture shows a plain number");
  const long double halfUnit = 0.5L * std::pow(10.0L, -static_cast<long double>(*decimals));
  const long double slack = halfUnit * 1e-15L + ulp(back) + ulp(value);
  require(std::fabs(back - value) <= halfUnit + slack, "a shown number lies within half a unit of its last place");
}

}  // namespace
}  // namespace korvane::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  fuzzing::InputBytes bytes(data, size);
  const fuzzing::Input in = fuzzing::readInput(bytes);
  const std::optional<long double> parsed = parseFieldNumber(in.text, in.separator);
  fuzzing::checkFieldNumber(in, parsed);
  fuzzing::checkConversions(in.value, in);
  fuzzing::checkFormat(in.text, in.value, in.separator);
  if (parsed) {
    fuzzing::checkConversions(*parsed, in);
    fuzzing::checkFormat(in.text, *parsed, in.separator);
  }
  return 0;
}
