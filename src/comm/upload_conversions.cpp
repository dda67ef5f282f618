// Field numbers to raw controller values.
#include "comm/upload_conversions.h"

#include <cmath>
#include <limits>

#include "base/text_number.h"

namespace korvane {
namespace {

// Truncation toward zero into 32 bits; anything outside (or not a number)
// cannot be sent and ends the upload like a text that is not a number.
std::int32_t truncate32(long double value) {
  if (!(value > -2147483649.0L && value < 2147483648.0L)) throw UploadConversionError();
  return static_cast<std::int32_t>(value);
}

constexpr float kInhibitFullScale = 855.64f;  // the controller's constant, in single precision

}  // namespace

long double uploadNumber(const std::string& text, char decimalSeparator) {
  const std::optional<long double> value = parseFieldNumber(text, decimalSeparator);
  if (!value) throw UploadConversionError();
  return *value;
}

std::int32_t integerConversion(long double x) {
  const double rounded = std::nearbyint(static_cast<double>(x));  // the default rounding: ties to even
  return truncate32(rounded);
}

std::int32_t fuelScalerRaw(long double x) {
  const double scaled = static_cast<double>(x) * 9765.625;
  return integerConversion(scaled) / 1000;
}

std::int32_t gainRaw(long double x) { return integerConversion(static_cast<double>(x) * 128.0); }

std::int32_t oneShotRaw(std::int32_t rpm) {
  // 312500 / (rpm / 60) periods of 3.2 µs per revolution, which is exactly
  // 18 750 000 / rpm cut to a whole number.
  return static_cast<std::int32_t>(18750000 / rpm);
}

std::int32_t revLimiterRaw(long double x, std::int32_t fullScaleRpm) {
  const long double s = static_cast<float>(x);
  return truncate32(s / fullScaleRpm * 1023);
}

std::int32_t pressureRaw(long double x, std::int32_t mapOffsetKpa, std::int32_t mapSpanKpa) {
  const long double s = static_cast<float>(x);
  const std::int32_t m = truncate32((s - mapOffsetKpa) * 1023 / mapSpanKpa);
  return m > 1023 ? 1023 : (m < 0 ? 0 : m);
}

std::int32_t fuelCutTimeRaw(long double x) {
  const long double s = static_cast<float>(x);
  float h = static_cast<float>(s * (1.0L / 3.34) * 255);
  if (!(h > 0)) h = 1;  // also catches a result that is not a number
  if (h > 255) h = 255;
  return static_cast<std::int32_t>(h);
}

std::int32_t injInhibitRaw(long double x) {
  const long double s = static_cast<float>(x);
  const float l = static_cast<float>(s * (1.0L / kInhibitFullScale) * 255);
  const std::int32_t v = truncate32(static_cast<long double>(l) + 0.5L);
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

}  // namespace korvane
