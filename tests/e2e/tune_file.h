// A small set file for the end-to-end loads, and the frames it stands for.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/sim_session.h"

namespace korvane::testing {

struct TuneFile {
  std::string text;
  std::vector<Bytes> frames;  // one per line, in file order
};

// The eleven parameter lines, each unlike the emulator's default, then gain
// lines for cells 0 .. gains - 1 holding 200 - i.
inline TuneFile tuneFile(int gains) {
  struct Parameter {
    const char* key;
    char letter;
    unsigned value;
  };
  constexpr Parameter kParameters[] = {
      {"FLG_VAL = ", 'f', 0},    {"MIN_PRES= ", 'p', 361}, {"TRG_REV = ", 'k', 6},  {"TRG_INJ = ", 'j', 3},
      {"ONE_SHOT= ", 'q', 2900}, {"KILL_RPM= ", 'i', 700}, {"FUEL_MX = ", 'm', 12}, {"CUT_RATE= ", 'z', 7},
      {"CUT_TIME= ", 't', 200},  {"INH_TIME= ", 'u', 17},  {"MAP_TYPE= ", 'v', 2},
  };
  TuneFile file;
  for (const Parameter& p : kParameters) {
    file.text += p.key + std::to_string(p.value) + "\n";
    file.frames.push_back(frame(p.letter, lowByte(p.value), highByte(p.value)));
  }
  for (int i = 0; i < gains; ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "MAPM[%03d]=%d\n", i, 200 - i);
    file.text += line;
    file.frames.push_back(frame('e', static_cast<std::uint8_t>(i), 1, static_cast<std::uint8_t>(200 - i)));
  }
  return file;
}

}  // namespace korvane::testing
