// The upload's conversions from a field's number to the controller's raw
// units, each with the precision the controller's encoding was built around.
// A value that cannot become an integer of 32 bits raises the same error as a
// text that is not a number.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace korvane {

// What the exception box shows when a field cannot be converted.
class UploadConversionError : public std::runtime_error {
 public:
  UploadConversionError() : std::runtime_error("Invalid variant type conversion") {}
};

// The field text as a number in the user's locale; throws UploadConversionError.
long double uploadNumber(const std::string& text, char decimalSeparator);

// Rounds x (in double precision) to the nearest integer, ties to even.
std::int32_t integerConversion(long double x);

// Injector scaler in milliseconds → units of 0.1024 ms (R = x·9765.625 rounded,
// then divided by 1000 toward zero).
std::int32_t fuelScalerRaw(long double x);

// Gain factor → gain byte, before the range check.
std::int32_t gainRaw(long double x);

// Full-scale RPM (already an integer above 999) → one-shot period in 3.2 µs.
std::int32_t oneShotRaw(std::int32_t rpm);

// Rev limiter RPM → fraction of the full scale in 1/1023, before clamping.
std::int32_t revLimiterRaw(long double x, std::int32_t fullScaleRpm);

// Pressure in kPa → fraction of the sensor span in 1/1023, clamped to 0..1023.
std::int32_t pressureRaw(long double x, std::int32_t mapOffsetKpa, std::int32_t mapSpanKpa);

// Fuel cut time in seconds → raw, clamped to 1..255 before truncation
// (a result that is not above 0 becomes 1).
std::int32_t fuelCutTimeRaw(long double x);

// Injector inhibit timer → raw, rounded and clamped to 0..255.
std::int32_t injInhibitRaw(long double x);

}  // namespace korvane
