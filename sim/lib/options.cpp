// Option parsing: one table of options, each with its help and the action it
// takes, given to CLI11, which parses the command line and writes --help.
#include "sim/lib/options.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <fstream>
#include <sstream>

namespace korvane::sim {
namespace {

constexpr unsigned kMaxMs = 60'000;
constexpr unsigned kMaxFrames = 1'000'000'000;

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// Splits "LEFT=RIGHT" and trims both sides.
std::pair<std::string_view, std::string_view> splitAssignment(std::string_view text, std::string_view what) {
  const auto equals = text.find('=');
  if (equals == std::string_view::npos)
    throw UsageError(std::string(what) + ": expected '=' in '" + std::string(text) + "'");
  return {trim(text.substr(0, equals)), trim(text.substr(equals + 1))};
}

std::string parameterKeys() {
  std::string keys;
  for (const Parameter& p : parameters()) keys += (keys.empty() ? "" : ", ") + std::string(p.key);
  return keys;
}

void applyMemoryLine(Memory& memory, std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() == '#') return;
  constexpr std::string_view kGainPrefix = "MAPM[";
  if (line.starts_with(kGainPrefix)) {
    const auto close = line.find("]");
    if (close == std::string_view::npos) throw UsageError("expected ']' in '" + std::string(line) + "'");
    const auto [rest, value] = splitAssignment(line.substr(close + 1), "gain line");
    if (!rest.empty()) throw UsageError("unexpected '" + std::string(rest) + "' after ']'");
    const auto index = line.substr(kGainPrefix.size(), close - kGainPrefix.size());
    applyGain(memory, std::string(index) + "=" + std::string(value));
    return;
  }
  applyParameter(memory, line);
}

Garbage parseGarbage(std::string_view where) {
  if (where == "before") return Garbage::Before;
  if (where == "after") return Garbage::After;
  if (where == "instead") return Garbage::Instead;
  throw UsageError("--garbage: expected before, after or instead, not '" + std::string(where) + "'");
}

void loadConfigFile(Options& options, std::string_view path) {
  std::ifstream file{std::string(path)};
  if (!file) throw UsageError("--config-file: cannot read '" + std::string(path) + "'");
  std::ostringstream text;
  text << file.rdbuf();
  try {
    applyMemoryText(options.memory, text.str());
  } catch (const UsageError& e) {
    throw UsageError(std::string(path) + ": " + e.what());
  }
}

// One option: how --help shows it and what it does to the options parsed so
// far. An option with no value is a flag.
struct OptionEntry {
  const char* name;
  const char* value;  // what --help calls the value, or nullptr
  const char* group;
  const char* help;
  void (*apply)(Options& options, std::string_view value);
};

constexpr const char* kLine = "Line";
constexpr const char* kMemory = "Controller memory";
constexpr const char* kEngine = "Engine (default: speed and pressure sweep slowly over the whole map)";
constexpr const char* kFaults = "Faults (for trying how Korvane copes)";

constexpr OptionEntry kOptionEntries[] = {
    {"--link", "PATH", kLine,
     "also make PATH a symbolic link to the terminal, e.g.\nDIR/Com1 in the directory Korvane runs in; an existing\n"
     "symbolic link there is replaced, and removed at exit",
     [](Options& o, std::string_view v) { o.link = std::filesystem::path(v); }},
    {"--verbose", nullptr, kLine, "print every frame received and every reply sent",
     [](Options& o, std::string_view) { o.verbose = true; }},
    {"--revision", "N", kMemory, "firmware revision reported to 'R' (0..65535)",
     [](Options& o, std::string_view v) {
       o.memory.revision = static_cast<std::uint16_t>(parseNumber(v, 0xFFFF, "--revision"));
     }},
    {"--param", "KEY=V", kMemory,
     "set a parameter: INH_TIME, FLG_VAL, CUT_RATE, CUT_TIME,\nTRG_INJ, MAP_TYPE, TRG_REV (0..255) or KILL_RPM,\n"
     "FUEL_MX, MIN_PRES, ONE_SHOT (0..65535), in raw units;\nNUM_CYLS and IGN_CYCS name TRG_REV and TRG_INJ",
     [](Options& o, std::string_view v) { applyParameter(o.memory, v); }},
    {"--gains", "V", kMemory, "set all 128 gain cells to V (0..255, 128 = 1.00)",
     [](Options& o, std::string_view v) {
       o.memory.gains.fill(static_cast<std::uint8_t>(parseNumber(v, 0xFF, "--gains")));
     }},
    {"--gain", "I=V", kMemory, "set gain cell I (0..127) to V (0..255)",
     [](Options& o, std::string_view v) { applyGain(o.memory, v); }},
    {"--config-file", "PATH", kMemory,
     "read KEY=V, MAPM[III]=V and REVISION=N lines (a set\nfile saved by Korvane will do); '#' starts a comment line",
     loadConfigFile},
    {"--engine", "MAP,RPM,PW", kEngine,
     "hold the engine still: every 'A' reports these readings, MAP and RPM\n0..1023 (1023 = full scale), the pulse "
     "width PW 0..65535 in\n102.4 us units",
     [](Options& o, std::string_view v) { o.heldEngine = parseEngine(v); }},
    {"--silent", nullptr, kFaults, "answer nothing", [](Options& o, std::string_view) { o.faults.silent = true; }},
    {"--dead-cell", "I", kFaults, "never answer 'E' or 'e' for gain cell I (repeatable)",
     [](Options& o, std::string_view v) {
       o.faults.deadCells.insert(static_cast<int>(parseNumber(v, kGainCount - 1, "--dead-cell")));
     }},
    {"--late", "MS", kFaults, "every reply arrives MS milliseconds late (0..60000)",
     [](Options& o, std::string_view v) { o.faults.lateMs = static_cast<int>(parseNumber(v, kMaxMs, "--late")); }},
    {"--split", "MS", kFaults, "every reply arrives in two halves MS milliseconds apart",
     [](Options& o, std::string_view v) { o.faults.splitGapMs = static_cast<int>(parseNumber(v, kMaxMs, "--split")); }},
    {"--garbage", "WHERE", kFaults, "junk bytes before, after or instead of every reply",
     [](Options& o, std::string_view v) { o.faults.garbage = parseGarbage(v); }},
    {"--junk", "HEX", kFaults, "the junk, as hex pairs (e.g. ff00a5); without it each\nreply gets 1 to 8 random bytes",
     [](Options& o, std::string_view v) { o.faults.junk = parseHex(v); }},
    {"--seed", "N", kFaults, "seed for the random junk (default 1)",
     [](Options& o, std::string_view v) { o.junkSeed = parseNumber(v, 0xFFFFFFFFu, "--seed"); }},
    {"--drop-after", "N", kFaults, "answer N frames, then hang up the line and exit",
     [](Options& o, std::string_view v) {
       o.faults.dropAfterFrames = static_cast<int>(parseNumber(v, kMaxFrames, "--drop-after"));
     }},
    {"--flood-after", "N", kFaults,
     "after N frames, pour junk onto the line without a\npause, as fast as the line carries it (the junk of\n"
     "--junk repeated, or random bytes); replies drown in it",
     [](Options& o, std::string_view v) {
       o.faults.floodAfterFrames = static_cast<int>(parseNumber(v, kMaxFrames, "--flood-after"));
     }},
    {"--help", nullptr, "Options", "show this text and exit", [](Options& o, std::string_view) { o.help = true; }},
};

constexpr const char* kDescription =
    "Plays the fuel-injection controller on a pseudo-terminal, so that Korvane can\n"
    "be tried without an engine. Prints \"korvane-sim: listening on /dev/pts/N\" once\n"
    "the line is ready and serves it until interrupted (Ctrl+C or SIGTERM).\n"
    "Options take effect in the order given; OPTION VALUE and OPTION=VALUE both work.\n"
    "Unless the options say otherwise, the controller reports revision 10274 and\n"
    "holds a four-cylinder set-up and a gain map rising with load and speed.\n";

constexpr const char* kFooter =
    "Exit status: 0 when interrupted or after a dropped line, 1 when the line\n"
    "cannot be set up, 2 for a bad command line.\n";

// The whole command line, described once, for parsing and for --help alike.
// Each option acts as soon as it is parsed, so the options take effect in the
// order given.
void describeOptions(CLI::App& app, Options& options) {
  app.description(kDescription);
  app.footer(kFooter);
  app.set_help_flag();  // --help is an option of our own, so that it is parsed in turn like the rest
  app.get_formatter()->column_width(23);
  for (const OptionEntry& entry : kOptionEntries) {
    const auto apply = entry.apply;
    CLI::Option* option = nullptr;
    if (entry.value != nullptr) {
      option = app.add_option_function<std::string>(
          entry.name, [&options, apply](const std::string& value) { apply(options, value); }, entry.help);
      option->type_name(entry.value);
    } else {
      option = app.add_flag_callback(
          entry.name, [&options, apply] { apply(options, {}); }, entry.help);
      option->disable_flag_override();  // "--silent=yes" is refused, as a value for a flag
    }
    option->group(entry.group)->trigger_on_parse();
  }
}

}  // namespace

unsigned parseNumber(std::string_view text, unsigned max, std::string_view what) {
  unsigned long value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value > max) {
    throw UsageError(std::string(what) + ": expected a whole number from 0 to " + std::to_string(max) + ", not '" +
                     std::string(text) + "'");
  }
  return static_cast<unsigned>(value);
}

Bytes parseHex(std::string_view text) {
  Bytes bytes;
  if (text.empty() || text.size() % 2 != 0) throw UsageError("--junk: expected pairs of hex digits");
  for (std::size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    const char* first = text.data() + i;
    const auto [stop, error] = std::from_chars(first, first + 2, value, 16);
    if (error != std::errc() || stop != first + 2) {
      throw UsageError("--junk: '" + std::string(text.substr(i, 2)) + "' is not a hex byte");
    }
    bytes.push_back(static_cast<std::uint8_t>(value));
  }
  return bytes;
}

LiveData parseEngine(std::string_view text) {
  constexpr auto npos = std::string_view::npos;
  const auto first = text.find(',');
  const auto second = first == npos ? npos : text.find(',', first + 1);
  if (second == npos || text.find(',', second + 1) != npos) throw UsageError("--engine: expected MAP,RPM,PW");
  const auto reading = [](std::string_view value, unsigned max, std::string_view what) {
    return static_cast<std::uint16_t>(parseNumber(value, max, what));
  };
  return {.map = reading(text.substr(0, first), kFullScaleReading, "--engine MAP"),
          .rpm = reading(text.substr(first + 1, second - first - 1), kFullScaleReading, "--engine RPM"),
          .pulseWidth = reading(text.substr(second + 1), 0xFFFF, "--engine PW")};
}

void applyParameter(Memory& memory, std::string_view assignment) {
  const auto [key, value] = splitAssignment(assignment, "parameter");
  if (key == "REVISION" || key == "revision") {
    memory.revision = static_cast<std::uint16_t>(parseNumber(value, 0xFFFF, "REVISION"));
    return;
  }
  const Parameter* parameter = findParameter(key);
  if (!parameter) {
    throw UsageError("unknown parameter '" + std::string(key) + "'; known: " + parameterKeys() + ", REVISION");
  }
  store(memory.configuration, *parameter, parseNumber(value, maxValue(*parameter), parameter->key));
}

void applyGain(Memory& memory, std::string_view assignment) {
  const auto [index, value] = splitAssignment(assignment, "gain");
  const unsigned cell = parseNumber(index, kGainCount - 1, "gain cell");
  memory.gains[cell] = static_cast<std::uint8_t>(parseNumber(value, 0xFF, "gain value"));
}

void applyMemoryText(Memory& memory, std::string_view text) {
  int lineNumber = 0;
  while (!text.empty()) {
    const auto newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
    ++lineNumber;
    try {
      applyMemoryLine(memory, line);
    } catch (const UsageError& e) {
      throw UsageError("line " + std::to_string(lineNumber) + ": " + e.what());
    }
  }
}

Options parseOptions(std::span<const std::string_view> args) {
  Options options;
  CLI::App app("", "korvane-sim");
  describeOptions(app, options);
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them from the back
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    throw UsageError(e.what());
  }
  return options;
}

std::string usageText() {
  Options unused;
  CLI::App app("", "korvane-sim");
  describeOptions(app, unused);
  return app.help();
}

}  // namespace korvane::sim
