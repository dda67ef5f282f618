// The diff command. Two files are compared by what a load leaves in the
// controller, not by their text: line ends, the order of the keys, the two
// spellings of the trigger counts and values that send the same bytes make
// no difference. A value that is the same in both but shown differently,
// because it is worked out with one that differs, is listed too, as the
// window would show it, but not counted.
#include "cli/diff.h"

#include "base/format_float.h"
#include "cli/read_back_window.h"
#include "cli/set_file_input.h"
#include "cli/tool_status.h"
#include "gain/gain_cell_place.h"

namespace korvane {
namespace {

constexpr const char* kArrow = " \u2192 ";

struct Side {
  const SetFileValues& values;
  const ReadBackWindow& window;
};

std::string changed(const std::string& a, const std::string& b) { return a + kArrow + b; }

// Returns whether the parameter counts as a difference.
bool diffParameter(std::ostream& out, const Side& a, const Side& b, std::size_t i) {
  const std::string caption = a.window.caption(i);
  const std::string shownA = parameterText(a.window, a.values, i), shownB = parameterText(b.window, b.values, i);
  const std::string key = keyName(kSetFileParameters[i].key);
  if (a.values.parameters[i] != b.values.parameters[i]) {
    out << caption << "  " << changed(shownA, shownB) << "  (" << key << " "
        << changed(rawText(a.values, i), rawText(b.values, i)) << ")\n";
    return true;
  }
  if (shownA != shownB) {
    out << caption << "  " << changed(shownA, shownB) << "  (" << key << " " << rawText(a.values, i)
        << " in both; worked out with " << keyName(kSetFileParameters[i].needs) << ")\n";
  }
  return false;
}

std::string gainRaw(const Side& side, int cell) {
  const auto& gain = side.values.gains[static_cast<std::size_t>(cell)];
  return gain ? std::to_string(*gain) : kNotInFile;
}

bool diffGain(std::ostream& out, const Side& a, const Side& b, int cell) {
  const auto index = static_cast<std::size_t>(cell);
  if (a.values.gains[index] == b.values.gains[index]) return false;
  const std::string placeA = gainCellPlace(a.window.window(), cell), placeB = gainCellPlace(b.window.window(), cell);
  out << gainCellPosition(cell) << ", " << (placeA == placeB ? placeA : changed(placeA, placeB)) << "  "
      << changed(a.window.gainText(cell).value_or(kNotInFile), b.window.gainText(cell).value_or(kNotInFile)) << "  ("
      << FormatFloat("MAPM[000]", cell) << " " << changed(gainRaw(a, cell), gainRaw(b, cell)) << ")\n";
  return true;
}

std::string counted(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

int runDiff(const std::string& fileA, const std::string& fileB, std::ostream& out, std::ostream& err) {
  const SetFileInput inputA = readSetFileInput(fileA);
  const SetFileInput inputB = readSetFileInput(fileB);
  const bool unusableA = reportUnusable(err, inputA);
  const bool unusableB = reportUnusable(err, inputB);
  if (unusableA || unusableB) return kExitTrouble;

  const SetFileValues valuesA = setFileValues(inputA.pieces), valuesB = setFileValues(inputB.pieces);
  const ReadBackWindow windowA(valuesA), windowB(valuesB);
  const Side a{valuesA, windowA}, b{valuesB, windowB};
  int parameters = 0, gains = 0;
  for (std::size_t i = 0; i < kParameterCount; ++i) parameters += diffParameter(out, a, b, i);
  for (int cell = 0; cell < kGainCellCount; ++cell) gains += diffGain(out, a, b, cell);

  const int total = parameters + gains;
  out << counted(total, "difference", "differences");
  if (total == 0) {
    out << ": both send the controller the same values\n";
    return kExitSame;
  }
  out << " (" << counted(parameters, "parameter", "parameters") << ", " << counted(gains, "gain cell", "gain cells")
      << ")\n";
  return kExitDiffer;
}

}  // namespace korvane
