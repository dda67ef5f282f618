// The command line of korvane-sim and the starting-memory file it reads.
// Every parser throws UsageError with a message fit for the user.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "sim/lib/controller.h"
#include "sim/lib/memory.h"

namespace korvane::sim {

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Options {
  Memory memory;
  Faults faults;
  std::uint32_t junkSeed = 1;
  std::optional<LiveData> heldEngine;  // every 'A' reports this instead of the engine model
  std::optional<std::filesystem::path> link;
  bool verbose = false;
  bool help = false;
};

// Parses the arguments after the program name; options take effect in the
// order given, so "--gains 128 --gain 5=200" leaves cell 5 at 200.
Options parseOptions(std::span<const std::string_view> args);

std::string usageText();

// "KEY=V": a parameter by its set-file key, or REVISION.
void applyParameter(Memory& memory, std::string_view assignment);

// "I=V": one gain cell.
void applyGain(Memory& memory, std::string_view assignment);

// Lines of "KEY=V" (blanks around either side allowed), "MAPM[III]=V" and
// "REVISION=N"; blank lines and lines starting with '#' are skipped. A set
// file saved by the tool reads as it stands.
void applyMemoryText(Memory& memory, std::string_view text);

// Decimal, digits only, at most `max`; `what` names the value in the message.
unsigned parseNumber(std::string_view text, unsigned max, std::string_view what);

// Pairs of hex digits, e.g. "ff00a5".
Bytes parseHex(std::string_view text);

// "MAP,RPM,PW": the readings a held engine reports.
LiveData parseEngine(std::string_view text);

}  // namespace korvane::sim
