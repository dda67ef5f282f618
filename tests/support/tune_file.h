// A tune for the set-file transfers, written out here line by line apart
// from the program's writer, so the two check each other: a configuration
// unlike the emulator's default in every parameter, a map whose every cell
// differs from its neighbours, its set file and the frame each line of that
// file stands for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/lib/memory.h"
#include "support/line_bytes.h"

namespace korvane::testing {

inline sim::Configuration tuneConfiguration() {
  return {.inhTime = 17,
          .killRpm = 700,
          .fuelMx = 40000,
          .minPres = 1023,
          .flgVal = 0,
          .cutRate = 9,
          .cutTime = 200,
          .trgInj = 3,
          .oneShot = 2900,
          .mapType = 2,
          .trgRev = 6};
}

inline sim::Gains tuneGains() {
  sim::Gains gains{};
  for (int i = 0; i < sim::kGainCount; ++i) gains[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(255 - i);
  return gains;
}

struct TuneFile {
  std::string text;
  std::vector<Bytes> frames;  // one per line, in file order
};

// The eleven parameter lines in the writer's order, then the gain lines of
// cells 0 .. gainLines - 1.
inline TuneFile tuneFile(int gainLines = sim::kGainCount) {
  const sim::Configuration c = tuneConfiguration();
  const sim::Gains gains = tuneGains();
  const struct {
    const char* key;
    char letter;
    unsigned value;
  } parameters[] = {
      {"FLG_VAL = ", 'f', c.flgVal},  {"MIN_PRES= ", 'p', c.minPres}, {"TRG_REV = ", 'k', c.trgRev},
      {"TRG_INJ = ", 'j', c.trgInj},  {"ONE_SHOT= ", 'q', c.oneShot}, {"KILL_RPM= ", 'i', c.killRpm},
      {"FUEL_MX = ", 'm', c.fuelMx},  {"CUT_RATE= ", 'z', c.cutRate}, {"CUT_TIME= ", 't', c.cutTime},
      {"INH_TIME= ", 'u', c.inhTime}, {"MAP_TYPE= ", 'v', c.mapType},
  };
  TuneFile file;
  for (const auto& p : parameters) {
    file.text += p.key + std::to_string(p.value) + "\n";
    file.frames.push_back(frame(p.letter, lowByte(static_cast<int>(p.value)), highByte(static_cast<int>(p.value))));
  }
  for (int i = 0; i < gainLines; ++i) {
    const std::uint8_t gain = gains[static_cast<std::size_t>(i)];
    char line[32];
    std::snprintf(line, sizeof line, "MAPM[%03d]=%d\n", i, gain);
    file.text += line;
    file.frames.push_back(frame('e', static_cast<std::uint8_t>(i), 1, gain));
  }
  return file;
}

}  // namespace korvane::testing
