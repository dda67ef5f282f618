// Gain cell places. The axis labels sit on the boundaries between cells: MAP
// label k on the boundary below row k, nine labels for eight rows, so row r
// covers labels r to r + 1. RPM label k sits under the left edge of column 2k,
// nine labels for sixteen columns, so every second boundary has no label of
// its own and lies halfway between the two either side.
#include "gain/gain_cell_place.h"

#include <cmath>
#include <cstddef>
#include <optional>

#include "base/text_number.h"

namespace korvane {
namespace {

constexpr int kRows = 8;
constexpr int kColumns = 16;

std::optional<long long> labelNumber(const Field& label) {
  const auto number = parseFieldNumber(label.text(), '.');
  if (!number) return std::nullopt;
  return std::llround(*number);
}

// A label's value as a listener should hear it: "0", not the "00000" shown
// before the configuration is read; a text that is no number is said as it is.
std::string labelValue(const Field& label) {
  const auto number = labelNumber(label);
  return number ? std::to_string(*number) : label.text();
}

// The RPM at boundary b (0 … 16) between columns b - 1 and b.
std::string rpmBoundary(const TFrm_Mapping& w, int b) {
  const Field& below = *w.rpm_lbl[static_cast<std::size_t>(b / 2)];
  if (b % 2 == 0) return labelValue(below);
  const Field& above = *w.rpm_lbl[static_cast<std::size_t>(b / 2 + 1)];
  const auto low = labelNumber(below), high = labelNumber(above);
  if (!low || !high) return labelValue(below);
  return std::to_string(std::llround((*low + *high) / 2.0L));
}

std::string range(const std::string& from, const std::string& to, const char* unit) {
  return (from == to ? from : from + " to " + to) + " " + unit;
}

}  // namespace

std::string gainCellPlace(const TFrm_Mapping& w, int index) {
  const int column = index / kRows;
  const auto row = static_cast<std::size_t>(index % kRows);
  return range(rpmBoundary(w, column), rpmBoundary(w, column + 1), "RPM") + ", " +
         range(labelValue(*w.map_lbl[row]), labelValue(*w.map_lbl[row + 1]), "kPa");
}

std::string gainCellPosition(int index) {
  return "Gain, RPM column " + std::to_string(index / kRows + 1) + " of " + std::to_string(kColumns) + ", MAP row " +
         std::to_string(index % kRows + 1) + " of " + std::to_string(kRows);
}

bool isAxisLabel(const TFrm_Mapping& w, const Field& field) {
  for (const auto* labels : {&w.rpm_lbl, &w.map_lbl}) {
    for (const auto& label : *labels) {
      if (label.get() == &field) return true;
    }
  }
  return false;
}

}  // namespace korvane
