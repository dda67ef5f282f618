// korvane-field-place: where the main window's fields lie, read off the
// window model after start-up, for a script that drives the real window
// with the mouse. Each argument names a field ("Begin_Comm") or a gain cell
// ("GainCells[37]"); each answer is one line, "NAME LEFT TOP WIDTH HEIGHT",
// in pixels from the top left corner of the window's client area, whatever
// group box the field sits in. "layout" answers "layout WIDTH FRAME
// COLLAPSED EXPANDED": the client area's width, and the window's outer
// heights in the two layouts with the part of them that the title bar, the
// menu bar and the borders take.
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "support/headless_program.h"

namespace {

using korvane::Field;
using korvane::TFrm_Mapping;

// A gain cell named "GainCells[i]", or nullptr when `name` names none.
const Field* gainCell(const TFrm_Mapping& window, std::string_view name) {
  constexpr std::string_view kPrefix = "GainCells[";
  if (!name.starts_with(kPrefix) || !name.ends_with("]")) return nullptr;
  const std::string_view digits = name.substr(kPrefix.size(), name.size() - kPrefix.size() - 1);
  std::size_t index = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
  if (error != std::errc() || end != digits.data() + digits.size() || index >= window.GainCells.size()) return nullptr;
  return window.GainCells[index].get();
}

const Field* namedField(TFrm_Mapping& window, std::string_view name) {
  if (const Field* cell = gainCell(window, name)) return cell;
  for (const Field* field : window.model.fields()) {
    if (field->name() == name) return field;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  // Port 1 in comm.ini, so that start-up asks nothing.
  korvane::testing::HeadlessProgram program({}, true, 1);
  TFrm_Mapping& window = program.window();
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "layout") {
      std::printf("layout %d %d %d %d\n", korvane::kClientWidth, korvane::kWindowFrameHeight, korvane::kCollapsedHeight,
                  korvane::kExpandedHeight);
      continue;
    }
    const Field* field = namedField(window, name);
    if (field == nullptr || field->parent() == nullptr) {
      std::fprintf(stderr, "korvane-field-place: no field of the window is named '%s'\n", argv[i]);
      status = 1;
      continue;
    }
    // Each parent's position is relative to its own parent's client area;
    // the window itself is the last parent and adds nothing.
    int left = field->left(), top = field->top();
    for (const Field* parent = field->parent(); parent->parent() != nullptr; parent = parent->parent()) {
      left += parent->left();
      top += parent->top();
    }
    std::printf("%s %d %d %d %d\n", argv[i], left, top, field->width(), field->height());
  }
  return status;
}
