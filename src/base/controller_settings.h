// The tool's mirror of the controller's configuration. Raw values are in the
// controller's units; the derived span, offset and full scale follow from
// MapType and OneShotRaw.
#pragma once

#include <cstdint>

namespace korvane {

struct ControllerSettings {
  std::int32_t FuelScalerRaw = 0;
  std::int32_t KillRpmRaw = 0;
  std::int32_t MinPressureRaw = 0;
  std::int32_t OneShotRaw = 0;
  std::int32_t TrigsPerRev = 0;
  std::int32_t TrigsPerInj = 0;
  std::int32_t MapType = 0;
  std::int32_t FlagValue = 0;
  std::int32_t CutRate = 0;
  std::int32_t CutTimeRaw = 0;
  std::int32_t InjInhibitRaw = 0;
  std::int32_t LastCellValue = 0;
  std::int32_t MapSpanKpa = 0;
  std::int32_t MapOffsetKpa = 0;
  std::int32_t FullScaleRpm = 0;
  float InjectorPulseWidth = 0.0f;  // seconds
};

}  // namespace korvane
