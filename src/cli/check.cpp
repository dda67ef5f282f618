// The check command. A load refuses a whole file for its first bad line;
// this names every one, in the load's words, so that all can be put right at
// once. A file the load sends whole may still leave the controller partly as
// it was, or not say what the tuner meant: the notes name the values it
// does not set, the lines a load skips and the keys it sends twice.
#include "cli/check.h"

#include <algorithm>
#include <map>

#include "cli/set_file_input.h"
#include "cli/set_file_values.h"
#include "cli/tool_status.h"

namespace korvane {
namespace {

bool blank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

void noteSkippedLines(std::ostream& out, const SetFileInput& input) {
  for (const SetFilePiece& piece : input.pieces) {
    if (!startsWithKey(piece) && !blank(piece.text)) {
      out << "Line " << piece.number << ", \"" << setFileLineText(piece)
          << "\", starts with no key; a load skips it.\n";
    }
  }
}

void noteRepeatedKeys(std::ostream& out, const SetFileInput& input) {
  std::map<std::size_t, std::vector<int>> linesOf;
  for (const SetFilePiece& piece : input.pieces) {
    if (const auto parameter = parameterOf(piece)) linesOf[*parameter].push_back(piece.number);
  }
  for (const auto& [parameter, lines] : linesOf) {
    if (lines.size() < 2) continue;
    out << keyName(kSetFileParameters[parameter].key) << " is set on " << lines.size() << " lines (";
    for (std::size_t i = 0; i < lines.size(); ++i) out << (i > 0 ? ", " : "") << lines[i];
    out << "); the controller keeps the last.\n";
  }
}

void noteMissingValues(std::ostream& out, const SetFileValues& values) {
  std::string keys;
  for (std::size_t i = 0; i < kParameterCount; ++i) {
    if (!values.parameters[i]) keys += (keys.empty() ? "" : ", ") + keyName(kSetFileParameters[i].key);
  }
  if (!keys.empty()) out << "Not in the file: " << keys << "; the controller keeps its own.\n";
  // Cells come in runs ("0-4, 6-127"): a file cut short lacks a whole tail.
  std::string cells;
  for (int cell = 0; cell < kGainCellCount;) {
    if (values.gains[static_cast<std::size_t>(cell)]) {
      ++cell;
      continue;
    }
    const int first = cell;
    while (cell < kGainCellCount && !values.gains[static_cast<std::size_t>(cell)]) ++cell;
    cells += (cells.empty() ? "" : ", ") + std::to_string(first);
    if (cell - 1 > first) cells += "-" + std::to_string(cell - 1);
  }
  if (!cells.empty()) out << "Gain cells not in the file: " << cells << "; the controller keeps its own.\n";
}

// Every line the load refuses, in its words; the number of them.
int reportRefusals(std::ostream& out, const SetFileInput& input) {
  int refused = 0;
  for (const SetFilePiece& piece : input.pieces) {
    if (!piece.problem) continue;
    out << setFileLineProblem(piece) << ".\n";
    ++refused;
  }
  return refused;
}

}  // namespace

int runCheck(const std::string& file, std::ostream& out, std::ostream& err) {
  const SetFileInput input = readSetFileInput(file);
  if (input.error) {
    reportFileError(err, input.name, *input.error);
    return kExitTrouble;
  }
  const int refused = reportRefusals(out, input);
  noteSkippedLines(out, input);
  if (refused > 0) {
    out << input.name << ": a load would refuse the file and send none of it (" << refused
        << (refused == 1 ? " line" : " lines") << " cannot be sent).\n";
    return kExitDiffer;
  }

  const SetFileValues values = setFileValues(input.pieces);
  noteRepeatedKeys(out, input);
  noteMissingValues(out, values);
  const auto parameters = std::ranges::count_if(values.parameters, [](const auto& v) { return v.has_value(); });
  const auto gains = std::ranges::count_if(values.gains, [](const auto& v) { return v.has_value(); });
  out << input.name << ": a load sends the file whole: " << parameters << " of " << kParameterCount
      << " parameters and " << gains << " of " << kGainCellCount << " gain cells.\n";
  return kExitSame;
}

}  // namespace korvane
