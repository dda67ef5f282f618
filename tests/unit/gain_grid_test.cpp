// The gain cells: where they sit, how the arrow keys move between them, and
// how Shift+Up and Shift+Down step a value.
#include "gain/gain_grid.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/startup.h"
#include "support/headless_program.h"
#include "support/recording_observer.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;

Field& cell(HeadlessProgram& p, int i) { return *p.window().GainCells[static_cast<std::size_t>(i)]; }

int focusedCell(HeadlessProgram& p) {
  const Field* focused = p.window().model.focused();
  return focused ? focused->tag() : -1;
}

TEST(GainGridTest, CellsSitColumnByColumnFromTheBottomLeft) {
  HeadlessProgram p;
  ASSERT_EQ(p.window().GainCells.size(), 128u);
  const struct {
    int index, left, top;
  } corners[] = {{0, 96, 370}, {7, 96, 146}, {8, 136, 370}, {127, 696, 146}, {21, 176, 210}};
  for (const auto& c : corners) {
    EXPECT_EQ(cell(p, c.index).left(), c.left) << c.index;
    EXPECT_EQ(cell(p, c.index).top(), c.top) << c.index;
  }
  for (int i = 0; i < 128; ++i) {
    const Field& f = cell(p, i);
    EXPECT_EQ(f.tag(), i);
    EXPECT_EQ(f.kind(), FieldKind::Edit);
    EXPECT_EQ(f.parent(), &p.window().Gain_Table_Group);
    EXPECT_EQ(f.width(), 34);
    EXPECT_EQ(f.height(), 24);
    EXPECT_EQ(f.font().pixelSize, 13);
    EXPECT_FALSE(f.font().bold);
    EXPECT_EQ(f.font().colour, kBlack);
    EXPECT_EQ(f.text(), "");
    EXPECT_FALSE(f.marked());
  }
}

TEST(GainGridTest, TheRowsFollowTheGroupHeight) {
  HeadlessProgram p(nullptr, false);
  createGainCells(*p, 500);
  EXPECT_EQ(cell(p, 0).top(), 410);
  EXPECT_EQ(cell(p, 7).top(), 186);
}

TEST(GainGridTest, ADifferentTextMarksTheCellTheSameTextDoesNot) {
  HeadlessProgram p;
  cell(p, 9).setText("1.00");
  EXPECT_TRUE(cell(p, 9).marked());
  cell(p, 9).setColour(kWhite);
  cell(p, 9).setText("1.00");
  EXPECT_FALSE(cell(p, 9).marked());
}

TEST(GainGridTest, EnterIsConsumedOtherKeysAreLeftToTheCell) {
  HeadlessProgram p;
  int enter = kKeyReturn;
  cell(p, 4).onKeyPress(enter);
  EXPECT_EQ(enter, 0);
  int letter = 'a';
  cell(p, 4).onKeyPress(letter);
  EXPECT_EQ(letter, 'a');
  EXPECT_EQ(cell(p, 4).text(), "");
}

struct MoveCase {
  int from;
  int key;
  bool shift;
  int to;
};

class GainNavigationTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(GainNavigationTest, ArrowKeysMoveTheFocus) {
  HeadlessProgram p;
  const MoveCase& c = GetParam();
  cell(p, c.from).setFocus();
  cell(p, c.from).onKeyDown(c.key, c.shift);
  EXPECT_EQ(focusedCell(p), c.to);
}

INSTANTIATE_TEST_SUITE_P(Moves, GainNavigationTest,
                         ::testing::Values(MoveCase{3, kKeyLeft, false, 3}, MoveCase{123, kKeyRight, false, 123},
                                           MoveCase{3, kKeyRight, false, 11}, MoveCase{11, kKeyLeft, false, 3},
                                           MoveCase{7, kKeyUp, false, 8}, MoveCase{127, kKeyUp, false, 127},
                                           MoveCase{8, kKeyDown, false, 7}, MoveCase{0, kKeyDown, false, 0},
                                           MoveCase{20, kKeyUp, false, 21}, MoveCase{3, kKeyRight, true, 11},
                                           MoveCase{11, kKeyLeft, true, 3}, MoveCase{5, 'A', false, 5},
                                           MoveCase{5, kKeyReturn, false, 5}));

TEST(GainNavigationTest, UpFromTheLastCellDoesNothingDownFromTheFirstRefocuses) {
  HeadlessProgram p;
  testing::RecordingObserver observer;
  p.window().model.setObserver(&observer);
  cell(p, 127).onKeyDown(kKeyUp, false);
  EXPECT_FALSE(observer.changed(cell(p, 127), Property::Focus));
  EXPECT_TRUE(observer.changes.empty());
  cell(p, 0).onKeyDown(kKeyDown, false);
  EXPECT_EQ(observer.changes, (std::vector<std::pair<Field*, Property>>{{&cell(p, 0), Property::Focus}}));
}

struct StepCase {
  const char* before;
  bool up;
  const char* after;
  bool marked;
};

class GainStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(GainStepTest, ShiftArrowStepsOneGainCountWithinItsLimit) {
  HeadlessProgram p;
  const StepCase& c = GetParam();
  Field& f = cell(p, 12);
  f.setText(c.before);
  f.setColour(kWhite);
  f.setFocus();
  f.onKeyDown(c.up ? kKeyUp : kKeyDown, true);
  EXPECT_EQ(f.text(), c.after);
  EXPECT_EQ(f.marked(), c.marked);
  EXPECT_EQ(focusedCell(p), 12) << "stepping does not move the focus";
}

INSTANTIATE_TEST_SUITE_P(Steps, GainStepTest,
                         ::testing::Values(StepCase{"1.00", true, "1.01", true}, StepCase{"1.99", true, "1.99", false},
                                           StepCase{".00", false, ".00", false}, StepCase{".01", false, ".00", true},
                                           StepCase{"-3", false, ".00", true}, StepCase{"5", true, "1.99", true},
                                           StepCase{"5", false, "4.99", true}, StepCase{"-3", true, "-2.99", true},
                                           StepCase{" 1.5 ", true, "1.51", true}, StepCase{"1e0", false, ".99", true}));

TEST(GainStepTest, ANonNumberIsAConversionErrorThatChangesNothing) {
  for (const char* text : {"", "abc", "1,5", "   "}) {
    HeadlessProgram p;
    Field& f = cell(p, 40);
    f.setText(text);
    f.setColour(kWhite);
    f.setFocus();
    guarded(*p, [&] { f.onKeyDown(kKeyUp, true); });
    EXPECT_EQ(p.desktop.exceptions,
              std::vector<std::string>{"'" + std::string(text) + "' is not a valid floating point value."});
    EXPECT_EQ(f.text(), text);
    EXPECT_FALSE(f.marked());
    EXPECT_EQ(focusedCell(p), 40);
  }
}

TEST(GainStepTest, StepsInTheUsersDecimalSeparator) {
  HeadlessProgram p(nullptr, false);
  p->decimalSeparator = ',';
  FormCreate(*p);
  Field& f = cell(p, 0);
  f.setText("1,00");
  f.onKeyDown(kKeyUp, true);
  EXPECT_EQ(f.text(), "1,01");
  f.setText("1.00");
  EXPECT_THROW(f.onKeyDown(kKeyUp, true), std::runtime_error);
}

}  // namespace
}  // namespace korvane
