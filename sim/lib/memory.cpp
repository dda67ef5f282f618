// The parameter table and the default gain map.
#include "sim/lib/memory.h"

#include <algorithm>
#include <cctype>

namespace korvane::sim {
namespace {

using C = Configuration;

constexpr Parameter kParameters[] = {
    {"INH_TIME", 'u', 1, 3, &C::inhTime, nullptr},  {"KILL_RPM", 'i', 2, 5, nullptr, &C::killRpm},
    {"FUEL_MX", 'm', 2, 7, nullptr, &C::fuelMx},    {"MIN_PRES", 'p', 2, 9, nullptr, &C::minPres},
    {"FLG_VAL", 'f', 1, 11, &C::flgVal, nullptr},   {"CUT_RATE", 'z', 1, 12, &C::cutRate, nullptr},
    {"CUT_TIME", 't', 1, 13, &C::cutTime, nullptr}, {"TRG_INJ", 'j', 1, 14, &C::trgInj, nullptr},
    {"ONE_SHOT", 'q', 2, 16, nullptr, &C::oneShot}, {"MAP_TYPE", 'v', 1, 18, &C::mapType, nullptr},
    {"TRG_REV", 'k', 1, 19, &C::trgRev, nullptr},
};

// Older names the tool also accepts in set files for the same parameters.
struct Alias {
  std::string_view alias;
  std::string_view key;
};
constexpr Alias kAliases[] = {{"NUM_CYLS", "TRG_REV"}, {"IGN_CYCS", "TRG_INJ"}};

bool sameKey(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::span<const Parameter> parameters() { return kParameters; }

const Parameter* findParameter(std::string_view key) {
  for (const Alias& a : kAliases) {
    if (sameKey(key, a.alias)) key = a.key;
  }
  for (const Parameter& p : kParameters) {
    if (sameKey(key, p.key)) return &p;
  }
  return nullptr;
}

const Parameter* findParameterByLetter(char letter) {
  for (const Parameter& p : kParameters) {
    if (p.letter == letter) return &p;
  }
  return nullptr;
}

unsigned valueOf(const Configuration& configuration, const Parameter& parameter) {
  return parameter.width == 1 ? configuration.*parameter.byteField : configuration.*parameter.wordField;
}

void store(Configuration& configuration, const Parameter& parameter, unsigned value) {
  if (parameter.width == 1) {
    configuration.*parameter.byteField = static_cast<std::uint8_t>(value);
  } else {
    configuration.*parameter.wordField = static_cast<std::uint16_t>(value);
  }
}

unsigned maxValue(const Parameter& parameter) { return parameter.width == 1 ? 0xFFu : 0xFFFFu; }

Gains defaultGains() {
  Gains gains{};
  for (int i = 0; i < kGainCount; ++i) {
    const int column = i / 8;
    const int row = i % 8;
    gains[i] = static_cast<std::uint8_t>(100 + 6 * row + 2 * column);
  }
  return gains;
}

}  // namespace korvane::sim
