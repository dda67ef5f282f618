// A small engine behind the emulated controller: speed and manifold pressure
// sweep slowly up and down, and the injector pulse width follows the fuel
// scaler, the gain of the cell the engine runs in and the two fuel cuts, so
// that an edited gain or parameter shows in the live data.
#pragma once

#include <cstdint>

#include "sim/lib/memory.h"

namespace korvane::sim {

constexpr std::uint16_t kFullScaleReading = 1023;

// What the live-data reply carries: 10-bit readings of the MAP sensor and of
// the speed (1023 = full scale) and the pulse width in 102.4 µs units.
struct LiveData {
  std::uint16_t map = 0;
  std::uint16_t rpm = 0;
  std::uint16_t pulseWidth = 0;

  friend bool operator==(const LiveData&, const LiveData&) = default;
};

// The engine at `nowMs` (any monotonic origin), a pure function of the time
// and the controller's memory.
LiveData engineAt(long long nowMs, const Memory& memory);

// The gain cell the engine runs in for these readings: column by speed,
// row by pressure.
int operatingCell(std::uint16_t mapReading, std::uint16_t rpmReading);

}  // namespace korvane::sim
