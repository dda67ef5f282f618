// The controller's raw parameter values turned into what the window shows,
// shared by the configuration reply and the parameter echoes: the unit
// conversions with their pictures, the MAP sensor range rule with its axis
// labels, and the tach full-scale RPM with its axis labels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "window/program.h"

namespace korvane {

// Display values. Each is computed in extended precision and held as a
// single-precision float, the way the controller's figures have always been
// shown.
float inhibitTimeOf(std::int32_t raw);        // raw x 855.64 / 255
float fuelScalerSecondsOf(std::int32_t raw);  // raw x 102.4 us
float minPressureKpaOf(std::int32_t raw, std::int32_t spanKpa, std::int32_t offsetKpa);
float cutTimeSecondsOf(std::int32_t raw);  // raw x 3.34 / 255

// The rev limiter in RPM: raw of 1023 is the full scale. Formed in 64 bits so
// that a very high full scale never shows a wrapped number.
std::int64_t revLimiterRpmOf(std::int32_t killRpmRaw, std::int32_t fullScaleRpm);

// The full-scale RPM of a tach period in units of 3.2 us: rounded to the whole
// RPM, then cut down to a multiple of ten. No value for a period of 0.
std::optional<std::int32_t> fullScaleRpmOf(std::int32_t oneShotRaw);

// Field texts, with the user's decimal separator.
std::string inhibitTimeText(const Program& program, std::int32_t raw);
std::string fuelScalerText(const Program& program, std::int32_t raw, std::string_view picture);
std::string minPressureText(const Program& program, std::int32_t raw);  // with the current span and offset
std::string cutTimeText(const Program& program, std::int32_t raw);
std::string revLimiterText(const Program& program);  // from KillRpmRaw and FullScaleRpm
std::string triggersText(std::int32_t raw);
std::string decimalText(std::int64_t value);

// The fuel scaler's picture after a full read, and after its own echo.
inline constexpr std::string_view kFuelScalerPictureFull = "##.000";
inline constexpr std::string_view kFuelScalerPictureEcho = "#0.000";

// MAP sensor range: bits 0-1 of MAP_TYPE choose span and offset (3 is the
// 3 bar sensor too).
struct MapRange {
  std::int32_t spanKpa;
  std::int32_t offsetKpa;
};
MapRange mapRangeOf(std::int32_t mapType);

// Sets MapSpanKpa and MapOffsetKpa from bits 0-1 of `mapType`.
void setMapRange(Program& program, std::int32_t mapType);

// Checks the "Range" radio button of bits 0-1 of `mapType`; its click handler
// marks Label18 when the choice changes.
void checkMapRangeButton(Program& program, std::int32_t mapType);

// map_lbl_0 .. map_lbl_8, bottom to top, from the current span and offset.
void setMapAxisLabels(Program& program);

// FullScaleRpm from OneShotRaw. A period of 0 cannot be right: the user is
// told in a message box and 1000 RPM stands in, so the axis stays usable.
void deriveFullScaleRpm(Program& program);

// rpm_lbl_0 .. rpm_lbl_8, left to right, from FullScaleRpm.
void setRpmAxisLabels(Program& program);

// The "Mode" radio group: 0 checks Pulse_Mode_0, 1 checks Pulse_Mode_1, any
// other value unchecks both.
void setPulseModeButtons(Program& program, std::int32_t flagValue);

}  // namespace korvane
