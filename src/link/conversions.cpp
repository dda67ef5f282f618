// Raw-to-display conversions, the MAP range rule and the full-scale RPM.
#include "link/conversions.h"

#include <array>

#include "base/format_float.h"
#include "base/text_number.h"

namespace korvane {
namespace {

// The constants keep the precisions the displays have always used: the
// inhibit factor as a single, the scaler and cut-time factors as doubles, the
// 10-bit and 8-bit scalings as extended reciprocals.
constexpr float kInhibitFactor = 855.64f;
constexpr double kScalerSecondsPerCount = 0.0001024;
constexpr double kCutTimeFactor = 3.34;
constexpr float kTachSecondsPerCount = 3.2e-6f;
constexpr long double kPer1023 = 1.0L / 1023.0L;
constexpr long double kPer255 = 1.0L / 255.0L;

constexpr std::int32_t kInvalidFullScaleRpm = 1000;
constexpr int kAxisSteps = 8;

constexpr std::array<MapRange, 4> kMapRanges = {{{115, 10}, {255, 10}, {330, 14}, {330, 14}}};

int mapRangeIndex(std::int32_t mapType) { return mapType & 3; }

}  // namespace

float inhibitTimeOf(std::int32_t raw) {
  const float v = static_cast<float>(raw);
  return static_cast<float>(static_cast<long double>(v) * kInhibitFactor * kPer255);
}

float fuelScalerSecondsOf(std::int32_t raw) {
  return static_cast<float>(static_cast<long double>(raw) * kScalerSecondsPerCount);
}

float minPressureKpaOf(std::int32_t raw, std::int32_t spanKpa, std::int32_t offsetKpa) {
  const std::int64_t product = std::int64_t{raw} * spanKpa;
  return static_cast<float>(offsetKpa + static_cast<long double>(product) * kPer1023);
}

float cutTimeSecondsOf(std::int32_t raw) {
  return static_cast<float>(static_cast<long double>(raw) * kCutTimeFactor * kPer255);
}

std::int64_t revLimiterRpmOf(std::int32_t killRpmRaw, std::int32_t fullScaleRpm) {
  return std::int64_t{killRpmRaw} * fullScaleRpm / 1023;
}

std::optional<std::int32_t> fullScaleRpmOf(std::int32_t oneShotRaw) {
  if (oneShotRaw == 0) return std::nullopt;
  const long double period = static_cast<long double>(oneShotRaw) * kTachSecondsPerCount;
  const long double x = 60.0L * (1.0L / period);
  const std::int64_t rounded = truncateToInt64(x + 0.5L);
  // Cut down to a multiple of ten, not rounded again: 6465.5 gives 6460.
  return static_cast<std::int32_t>(rounded / 10 * 10);
}

std::string inhibitTimeText(const Program& program, std::int32_t raw) {
  return FormatFloat("###.0", inhibitTimeOf(raw), program.decimalSeparator);
}

std::string fuelScalerText(const Program& program, std::int32_t raw, std::string_view picture) {
  return FormatFloat(picture, static_cast<long double>(fuelScalerSecondsOf(raw)) * 1000, program.decimalSeparator);
}

std::string minPressureText(const Program& program, std::int32_t raw) {
  const ControllerSettings& s = program.ControllerSettings;
  return FormatFloat("##0.0", minPressureKpaOf(raw, s.MapSpanKpa, s.MapOffsetKpa), program.decimalSeparator);
}

std::string cutTimeText(const Program& program, std::int32_t raw) {
  return FormatFloat("#.000", cutTimeSecondsOf(raw), program.decimalSeparator);
}

std::string revLimiterText(const Program& program) {
  const ControllerSettings& s = program.ControllerSettings;
  return FormatFloat("####0", static_cast<long double>(revLimiterRpmOf(s.KillRpmRaw, s.FullScaleRpm)));
}

std::string triggersText(std::int32_t raw) { return FormatFloat("##0", raw); }

std::string decimalText(std::int64_t value) { return std::to_string(value); }

MapRange mapRangeOf(std::int32_t mapType) { return kMapRanges[static_cast<std::size_t>(mapRangeIndex(mapType))]; }

void setMapRange(Program& program, std::int32_t mapType) {
  const MapRange range = mapRangeOf(mapType);
  program.ControllerSettings.MapSpanKpa = range.spanKpa;
  program.ControllerSettings.MapOffsetKpa = range.offsetKpa;
}

void checkMapRangeButton(Program& program, std::int32_t mapType) {
  TFrm_Mapping& w = program.Frm_Mapping;
  const std::array<Field*, 4> buttons = {&w.map_type_1, &w.map_type_2, &w.map_type_3, &w.map_type_3};
  buttons[static_cast<std::size_t>(mapRangeIndex(mapType))]->setChecked(true);
}

void setMapAxisLabels(Program& program) {
  const ControllerSettings& s = program.ControllerSettings;
  for (int k = 0; k <= kAxisSteps; ++k) {
    const std::int64_t kpa = std::int64_t{s.MapSpanKpa} * k / kAxisSteps + s.MapOffsetKpa;
    program.Frm_Mapping.map_lbl[static_cast<std::size_t>(k)]->setText(FormatFloat("##0", kpa));
  }
}

void deriveFullScaleRpm(Program& program) {
  ControllerSettings& s = program.ControllerSettings;
  if (const auto rpm = fullScaleRpmOf(s.OneShotRaw)) {
    s.FullScaleRpm = *rpm;
    return;
  }
  program.desktop.messageBox("FS RPM value is invalid, and must be changed", "ERROR");
  s.FullScaleRpm = kInvalidFullScaleRpm;
}

void setRpmAxisLabels(Program& program) {
  const std::int32_t fullScale = program.ControllerSettings.FullScaleRpm;
  for (int k = 0; k <= kAxisSteps; ++k) {
    const std::int64_t rpm = std::int64_t{fullScale} * k / kAxisSteps;
    program.Frm_Mapping.rpm_lbl[static_cast<std::size_t>(k)]->setText(FormatFloat("####0", rpm));
  }
}

void setPulseModeButtons(Program& program, std::int32_t flagValue) {
  TFrm_Mapping& w = program.Frm_Mapping;
  if (flagValue == 0) {
    w.Pulse_Mode_0.setChecked(true);
  } else if (flagValue == 1) {
    w.Pulse_Mode_1.setChecked(true);
  } else {
    w.Pulse_Mode_0.setChecked(false);
    w.Pulse_Mode_1.setChecked(false);
  }
}

}  // namespace korvane
