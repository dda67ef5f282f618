// The 128 gain cells: creation in the group, their geometry, and the keys
// that move between them and step their values.
//
// Cell i is RPM column i div 8 (left to right) and MAP row i mod 8 (bottom to
// top); the controller holds its gain at address 256 + i.
#include "gain/gain_grid.h"

#include <stdexcept>
#include <string>

#include "base/format_float.h"
#include "base/text_number.h"
#include "comm/upload.h"

namespace korvane {
namespace {

constexpr int kCellCount = 128;
constexpr int kRows = 8;
constexpr int kCellWidth = 34;
constexpr int kCellHeight = 24;
constexpr int kColumnPitch = 40;
constexpr int kRowPitch = 32;
constexpr int kFirstLeft = 96;
constexpr int kBottomMargin = 90;  // from the group's bottom edge to the top of row 0
const Font kCellFont{13, false, kBlack};

// One gain step is 1/128; the largest gain byte, 255, is 1.9921875.
constexpr float kGainStep = 0.0078125f;
constexpr float kGainMax = 1.9921875f;

// Where an arrow key moves the focus from cell t. Left and Right cross a
// column, Up and Down a row, running on into the next column at the top and
// the previous one at the bottom. A target outside the grid keeps the focus
// where it is, except that Up from the last cell does nothing at all.
struct Move {
  int key;
  int delta;
  bool refocusAtEdge;
};
constexpr Move kMoves[] = {
    {kKeyLeft, -kRows, true},
    {kKeyRight, kRows, true},
    {kKeyUp, 1, false},
    {kKeyDown, -1, true},
};

Field& cellAt(Program& program, int index) { return *program.Frm_Mapping.GainCells[static_cast<std::size_t>(index)]; }

void moveFocus(Program& program, const Move& move, int from) {
  const int to = from + move.delta;
  if (to >= 0 && to < kCellCount) {
    cellAt(program, to).setFocus();
  } else if (move.refocusAtEdge) {
    cellAt(program, from).setFocus();
  }
}

// Steps the cell's text by one gain count, limited only on the side it moves
// towards: a typed 5 steps up to 1.99 but down to 4.99.
void stepGain(Program& program, Field& cell, bool up) {
  const auto number = parseFieldNumber(cell.text(), program.decimalSeparator);
  if (!number) throw std::runtime_error("'" + cell.text() + "' is not a valid floating point value");
  float v = static_cast<float>(*number);
  if (up) {
    v = v + kGainStep;
    if (v > kGainMax) v = kGainMax;
  } else {
    v = v - kGainStep;
    if (!(v >= 0)) v = 0;
  }
  cell.setText(FormatFloat("#.00", v, program.decimalSeparator));
}

}  // namespace

void createGainCells(Program& program, int groupHeight) {
  TFrm_Mapping& w = program.Frm_Mapping;
  Program* p = &program;
  w.GainCells.clear();
  for (int i = 0; i < kCellCount; ++i) {
    FieldSpec description;
    description.name = "GainCells[" + std::to_string(i) + "]";
    description.kind = FieldKind::Edit;
    description.parent = &w.Gain_Table_Group;
    auto cell = std::make_unique<Field>(w.model, std::move(description));
    cell->setHeight(kCellHeight);
    cell->setWidth(kCellWidth);
    cell->setLeft(kColumnPitch * (i / kRows) + kFirstLeft);
    cell->setTop(groupHeight - (kRowPitch * (i % kRows) + kBottomMargin));
    cell->setTag(i);
    cell->setText("");
    cell->setFont(kCellFont);
    Field* f = cell.get();
    cell->onClick = [] {};
    cell->onChange = [p, f] { GainCellChange(*p, *f); };
    cell->onKeyPress = [p, f](int& key) { GainCellKeyPress(*p, *f, key); };
    cell->onKeyDown = [p, f](int key, bool shift) { GainCellKeyDown(*p, *f, key, shift); };
    w.GainCells.push_back(std::move(cell));
  }
}

void GainCellChange(Program&, Field& cell) { cell.setColour(kYellow); }

void GainCellKeyPress(Program& program, Field&, int& key) {
  if (key != kKeyReturn) return;
  key = 0;  // the edit box neither inserts nor beeps
  Button1Click(program);
}

void GainCellKeyDown(Program& program, Field& cell, int key, bool shift) {
  if (shift && (key == kKeyUp || key == kKeyDown)) {
    stepGain(program, cell, key == kKeyUp);
    return;
  }
  for (const Move& move : kMoves) {
    if (move.key == key) {
      moveFocus(program, move, cell.tag());
      return;
    }
  }
}

}  // namespace korvane
