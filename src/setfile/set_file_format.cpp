// Set-file lines: writing them from the mirror, reading them into commands.
#include "setfile/set_file_format.h"

#include <string>

#include "base/format_float.h"
#include "base/text_number.h"

namespace korvane {
namespace {

constexpr std::size_t kPieceLength = 23;  // a 24-byte line buffer with its terminating zero
constexpr std::size_t kKeyLength = 9;
constexpr std::string_view kGainKey = "MAPM[";
constexpr int kGainCells = 128;

struct WrittenLine {
  const char* picture;
  std::int32_t ControllerSettings::*value;
};

// The writer's order; each picture carries its key and the line feed.
constexpr WrittenLine kWrittenLines[] = {
    {"FLG_VAL = ##0\n", &ControllerSettings::FlagValue},     {"MIN_PRES= ##0\n", &ControllerSettings::MinPressureRaw},
    {"TRG_REV = ##0\n", &ControllerSettings::TrigsPerRev},   {"TRG_INJ = ##0\n", &ControllerSettings::TrigsPerInj},
    {"ONE_SHOT= ####0\n", &ControllerSettings::OneShotRaw},  {"KILL_RPM= ####0\n", &ControllerSettings::KillRpmRaw},
    {"FUEL_MX = ##0\n", &ControllerSettings::FuelScalerRaw}, {"CUT_RATE= ##0\n", &ControllerSettings::CutRate},
    {"CUT_TIME= ##0\n", &ControllerSettings::CutTimeRaw},    {"INH_TIME= ##0\n", &ControllerSettings::InjInhibitRaw},
    {"MAP_TYPE= ##0\n", &ControllerSettings::MapType},
};

std::string describeRange(int maxValue) { return "0 to " + std::to_string(maxValue); }

void parseParameter(const SetFileKey& key, std::string_view text, SetFilePiece& piece) {
  const std::int64_t value = truncateToInt64(fileAtof(text.substr(kKeyLength)));
  if (value < 0 || value > key.maxValue) {
    piece.problem = std::string(key.key) + " takes " + describeRange(key.maxValue);
    return;
  }
  piece.kind = SetFilePiece::Kind::Parameter;
  piece.command = makeCommand(key.letter, key.letter == 'v' ? value % 4 : value);  // the range is the low two bits
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void parseGain(std::string_view text, SetFilePiece& piece) {
  // The value stands at a fixed position, right after "]=" behind a
  // three-digit index; any other index form would put it elsewhere.
  if (text.size() < 10 || !isDigit(text[5]) || !isDigit(text[6]) || !isDigit(text[7]) || text.substr(8, 2) != "]=") {
    piece.problem = "a gain line needs a three-digit cell index followed by \"]=\"";
    return;
  }
  const std::int64_t index = truncateToInt64(fileAtof(text.substr(5)));
  const std::int64_t value = truncateToInt64(fileAtof(text.substr(10)));
  if (index >= kGainCells) {
    piece.problem = "the cell index must be 000 to 127";
  } else if (value < 0 || value > 255) {
    piece.problem = "a gain takes " + describeRange(255);
  } else {
    piece.kind = SetFilePiece::Kind::Gain;
    piece.command = writeGainCellCommand(index, value);
  }
}

}  // namespace

const std::array<SetFileKey, 14> kSetFileKeys = {{
    {"FLG_VAL =", 'f', 255},
    {"MIN_PRES=", 'p', 65535},
    {"NUM_CYLS=", 'k', 255},
    {"IGN_CYCS=", 'j', 255},
    {"ONE_SHOT=", 'q', 65535},
    {"KILL_RPM=", 'i', 65535},
    {"FUEL_MX =", 'm', 65535},
    {"CUT_RATE=", 'z', 255},
    {"CUT_TIME=", 't', 255},
    {"INH_TIME=", 'u', 255},
    {"TRG_REV =", 'k', 255},
    {"TRG_INJ =", 'j', 255},
    {"MAP_TYPE=", 'v', 255},
    {"MAPM[", 'e', 255},
}};

std::vector<std::string> setFileLines(const ControllerSettings& settings, const std::array<std::uint8_t, 128>& gains) {
  std::vector<std::string> lines;
  lines.reserve(std::size(kWrittenLines) + kGainCells);
  for (const WrittenLine& line : kWrittenLines) lines.push_back(FormatFloat(line.picture, settings.*line.value));
  for (int i = 0; i < kGainCells; ++i) {
    lines.push_back(FormatFloat("MAPM[000]=", i) + FormatFloat("##0\n", gains[static_cast<std::size_t>(i)]));
  }
  return lines;
}

std::vector<std::string> splitSetFilePieces(std::string_view contents) {
  std::vector<std::string> pieces;
  std::size_t at = 0;
  while (at < contents.size()) {
    std::size_t length = 0;
    while (length < kPieceLength && at + length < contents.size()) {
      if (contents[at + length++] == '\n') break;
    }
    pieces.emplace_back(contents.substr(at, length));
    at += length;
  }
  return pieces;
}

SetFilePiece parseSetFilePiece(int number, const std::string& text) {
  SetFilePiece piece;
  piece.number = number;
  piece.text = text;
  // The line reader hands on a C string: whatever follows a zero byte is not seen.
  const std::string_view seen(text.c_str());
  for (const SetFileKey& key : kSetFileKeys) {
    const std::string_view name(key.key);
    if (seen.substr(0, name.size()) != name) continue;
    if (name == kGainKey) {
      parseGain(seen, piece);
    } else {
      parseParameter(key, seen, piece);
    }
    break;
  }
  return piece;
}

std::string setFileLineText(const SetFilePiece& piece) {
  std::string shown(piece.text.c_str());
  while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
  return shown;
}

std::string setFileLineProblem(const SetFilePiece& piece) {
  return "Line " + std::to_string(piece.number) + " of the set file, \"" + setFileLineText(piece) +
         "\", cannot be sent: " + piece.problem.value_or("");
}

std::string setFileRefusal(const SetFilePiece& piece) {
  return setFileLineProblem(piece) + ". Nothing was sent to the controller.";
}

}  // namespace korvane
