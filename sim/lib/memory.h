// What the emulated controller holds: the eleven parameters, the 128 gain
// bytes and the firmware revision, and the one table that says, for each
// parameter, its set-file key, the command that writes it, its width and
// where it stands in the configuration reply.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace korvane::sim {

constexpr int kGainCount = 128;
constexpr int kGainBaseAddress = 256;  // cell i lives at address 256 + i

// Raw values in the controller's own units. The defaults are a small
// four-cylinder set-up (full scale 6000 RPM, 1 bar sensor).
struct Configuration {
  std::uint8_t inhTime = 30;
  std::uint16_t killRpm = 852;
  std::uint16_t fuelMx = 100;
  std::uint16_t minPres = 177;
  std::uint8_t flgVal = 1;
  std::uint8_t cutRate = 20;
  std::uint8_t cutTime = 114;
  std::uint8_t trgInj = 2;
  std::uint16_t oneShot = 3125;
  std::uint8_t mapType = 0;
  std::uint8_t trgRev = 4;

  friend bool operator==(const Configuration&, const Configuration&) = default;
};

struct Parameter {
  std::string_view key;  // the set-file key without its padding and '='
  char letter;           // the command that writes it, and the letter of its echo
  int width;             // 1 or 2 bytes, low byte first
  int replyOffset;       // position of its low byte in the configuration reply
  std::uint8_t Configuration::*byteField;
  std::uint16_t Configuration::*wordField;
};

// Every parameter, in the order of the configuration reply.
std::span<const Parameter> parameters();

// By key (case-insensitive; NUM_CYLS and IGN_CYCS name TRG_REV and TRG_INJ)
// or by command letter; nullptr when there is none.
const Parameter* findParameter(std::string_view key);
const Parameter* findParameterByLetter(char letter);

unsigned valueOf(const Configuration& configuration, const Parameter& parameter);

// Stores the low 8 or 16 bits of `value`, as the controller would from a frame.
void store(Configuration& configuration, const Parameter& parameter, unsigned value);

// The largest value a parameter of this width holds.
unsigned maxValue(const Parameter& parameter);

using Gains = std::array<std::uint8_t, kGainCount>;

// A map that rises with load and speed, so that neighbouring cells differ and
// a cell shown in the wrong place is seen at once.
Gains defaultGains();

struct Memory {
  Configuration configuration;
  Gains gains = defaultGains();
  std::uint16_t revision = 10274;

  friend bool operator==(const Memory&, const Memory&) = default;
};

}  // namespace korvane::sim
