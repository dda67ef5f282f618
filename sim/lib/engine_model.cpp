// The engine model: two slow sweeps with a little ripple on top.
#include "sim/lib/engine_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane::sim {
namespace {

// Periods are prime-ish and unrelated so the operating point wanders over
// the whole map instead of tracing one line.
struct Sweep {
  double low, high;  // fraction of full scale at the ends of the sweep
  double periodMs;   // one full cycle, up and back down
  double ripple;     // amplitude of the fast ripple, fraction of full scale
  double ripplePeriodMs;
  double phase;  // radians, so the two sweeps do not start together
};

constexpr Sweep kSpeed{0.10, 0.80, 31000.0, 0.02, 2300.0, 0.0};
constexpr Sweep kPressure{0.20, 0.90, 11000.0, 0.015, 1700.0, 1.3};

double fraction(const Sweep& sweep, long long nowMs) {
  const double t = static_cast<double>(nowMs);
  const double angle = 2.0 * std::numbers::pi * t / sweep.periodMs + sweep.phase;
  const double swing = 0.5 - 0.5 * std::cos(angle);
  const double ripple = sweep.ripple * std::sin(2.0 * std::numbers::pi * t / sweep.ripplePeriodMs);
  return sweep.low + (sweep.high - sweep.low) * swing + ripple;
}

std::uint16_t reading(double fraction) {
  const double value = std::round(fraction * kFullScaleReading);
  return static_cast<std::uint16_t>(std::clamp(value, 0.0, static_cast<double>(kFullScaleReading)));
}

// The controller meters the scaler times the cell's gain, in proportion to
// the manifold pressure; above the rev limiter and below the cut pressure it
// injects nothing.
std::uint16_t pulseWidth(const LiveData& engine, const Memory& memory) {
  const Configuration& c = memory.configuration;
  if (engine.rpm >= c.killRpm || engine.map < c.minPres) return 0;
  const double gain = memory.gains[operatingCell(engine.map, engine.rpm)] / 128.0;
  const double load = static_cast<double>(engine.map) / kFullScaleReading;
  return static_cast<std::uint16_t>(std::min(65535.0, std::round(c.fuelMx * gain * load)));
}

}  // namespace

int operatingCell(std::uint16_t mapReading, std::uint16_t rpmReading) {
  const int column = std::min(15, rpmReading * 16 / (kFullScaleReading + 1));
  const int row = std::min(7, mapReading * 8 / (kFullScaleReading + 1));
  return 8 * column + row;
}

LiveData engineAt(long long nowMs, const Memory& memory) {
  LiveData engine;
  engine.rpm = reading(fraction(kSpeed, nowMs));
  engine.map = reading(fraction(kPressure, nowMs));
  engine.pulseWidth = pulseWidth(engine, memory);
  return engine;
}

}  // namespace korvane::sim
