// The show command. The gain map is laid out as the window lays it out: MAP
// rows from the highest at the top to the lowest, RPM columns from the left,
// and the axis labels on the boundaries between cells, nine for eight rows
// and nine for sixteen columns (one under every second boundary).
#include "cli/show.h"

#include <algorithm>
#include <cstddef>

#include "cli/read_back_window.h"
#include "cli/set_file_input.h"
#include "cli/tool_status.h"

namespace korvane {
namespace {

constexpr int kRows = 8;
constexpr int kColumns = 16;
constexpr int kCellPitch = 6;  // characters from one column's left edge to the next
constexpr int kCellWidth = 4;  // "1.99", "255"

std::string padRight(const std::string& text, std::size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::string padLeft(const std::string& text, std::size_t width) {
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

void showParameters(std::ostream& out, const ReadBackWindow& window, const SetFileValues& values, bool raw) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < kParameterCount; ++i) {
    names.push_back(raw ? keyName(kSetFileParameters[i].key) : window.caption(i));
  }
  const std::size_t width = std::ranges::max(names, {}, &std::string::size).size() + 2;
  for (std::size_t i = 0; i < kParameterCount; ++i) {
    out << padRight(names[i], width) << (raw ? rawText(values, i) : parameterText(window, values, i)) << "\n";
  }
}

std::string cellText(const ReadBackWindow& window, const SetFileValues& values, int cell, bool raw) {
  const auto& gain = values.gains[static_cast<std::size_t>(cell)];
  if (raw && gain) return std::to_string(*gain);
  return window.gainText(cell).value_or("?");
}

// The RPM labels centred under their boundaries, each kept clear of the one
// before it.
std::string rpmLabelLine(const TFrm_Mapping& w, std::size_t left) {
  std::string line;
  for (std::size_t k = 0; k < w.rpm_lbl.size(); ++k) {
    const std::string& label = w.rpm_lbl[k]->text();
    const std::size_t boundary = left + k * 2 * kCellPitch;
    std::size_t at = boundary > label.size() / 2 ? boundary - label.size() / 2 : 0;
    if (!line.empty()) at = std::max(at, line.size() + 1);
    line = padRight(line, at) + label;
  }
  return line + " RPM";
}

void showGainMap(std::ostream& out, const ReadBackWindow& window, const SetFileValues& values, bool raw) {
  const TFrm_Mapping& w = window.window();
  std::size_t labelWidth = 3;
  for (const auto& label : w.map_lbl) labelWidth = std::max(labelWidth, label->text().size());
  const std::size_t left = labelWidth + 1;  // where the grid's left edge stands

  out << "\n" << (raw ? "Gain bytes" : "Gains") << " by MAP [kPa] (up) and RPM (across)\n";
  for (int row = kRows - 1; row >= 0; --row) {
    out << padLeft(w.map_lbl[static_cast<std::size_t>(row + 1)]->text(), labelWidth) << " -\n";
    std::string line(left, ' ');
    for (int column = 0; column < kColumns; ++column) {
      line += " " + padLeft(cellText(window, values, column * kRows + row, raw), kCellWidth) + " ";
    }
    line.pop_back();  // the gap after the last column
    out << line << "\n";
  }
  out << padLeft(w.map_lbl[0]->text(), labelWidth) << " -\n";
  std::string ticks(left, ' ');
  for (int boundary = 0; boundary <= kColumns; boundary += 2) {
    ticks = padRight(ticks, left + static_cast<std::size_t>(boundary * kCellPitch)) + "|";
  }
  out << ticks << "\n" << rpmLabelLine(w, left) << "\n";
}

void showNotes(std::ostream& out, const ReadBackWindow& window, const SetFileValues& values) {
  const auto missing = std::ranges::count_if(values.gains, [](const auto& gain) { return !gain; });
  if (missing > 0) {
    out << "\n"
        << missing << " of the " << kGainCellCount
        << " gain cells are not in the file (?); the controller keeps its own.\n";
  }
  for (const std::string& message : window.messages()) out << "\nThe window would show: " << message << "\n";
}

}  // namespace

int runShow(const std::string& file, bool raw, std::ostream& out, std::ostream& err) {
  const SetFileInput input = readSetFileInput(file);
  if (reportUnusable(err, input)) return kExitTrouble;
  const SetFileValues values = setFileValues(input.pieces);
  const ReadBackWindow window(values);
  showParameters(out, window, values, raw);
  showGainMap(out, window, values, raw);
  showNotes(out, window, values);
  return kExitSame;
}

}  // namespace korvane
