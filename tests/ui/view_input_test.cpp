// What the user does in the window reaches the model and its handlers, and
// what the program writes into the model reaches the widgets, once each way.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <array>
#include <fstream>
#include <stdexcept>

#include "app/startup.h"
#include "ui/qt_desktop.h"
#include "view_fixture.h"

namespace korvane {
namespace {

using testing::pressKey;
using testing::showActive;
using testing::typeText;
using testing::ViewTest;

// Wraps a field's change handler so a test can count its runs.
int* countChanges(Field& field) {
  auto runs = std::make_shared<int>(0);
  field.onChange = [runs, inner = field.onChange] {
    ++*runs;
    if (inner) inner();
  };
  return runs.get();  // kept alive by the handler
}

TEST_F(ViewTest, TypingReachesTheModelAndRunsTheChangeHandlerOnce) {
  int* runs = countChanges(w().Fuel_mx);
  typeText(edit(w().Fuel_mx), "7");
  EXPECT_EQ(w().Fuel_mx.text(), "07");
  EXPECT_EQ(*runs, 1);
  EXPECT_TRUE(w().Fuel_mx.marked());
  EXPECT_EQ(edit(w().Fuel_mx)->text(), "07");
}

TEST_F(ViewTest, TypingInTheMiddleKeepsTheCursorWhereTheUserPutIt) {
  QLineEdit* box = edit(w().Rate_Cut);
  w().Rate_Cut.setText("12");
  box->setCursorPosition(1);
  typeText(box, "5");
  EXPECT_EQ(w().Rate_Cut.text(), "152");
  EXPECT_EQ(box->cursorPosition(), 2) << "the model's echo of the edit must not move the cursor";
}

TEST_F(ViewTest, ProgramTextReachesTheBoxAndRunsTheHandlerOnlyOnce) {
  int* runs = countChanges(w().Num_Cyls);
  w().Num_Cyls.setText("8");
  EXPECT_EQ(edit(w().Num_Cyls)->text(), "8");
  EXPECT_EQ(*runs, 1);
  w().Num_Cyls.setText("8");
  EXPECT_EQ(*runs, 1);
}

TEST_F(ViewTest, AnExceptionFromAHandlerGoesToTheExceptionBoxAndTheViewGoesOn) {
  w().Ign_Cycles.onChange = [] { throw std::runtime_error("'x' is not a valid integer value"); };
  typeText(edit(w().Ign_Cycles), "x");
  EXPECT_EQ(headless.desktop.exceptions, std::vector<std::string>{"'x' is not a valid integer value."});
  EXPECT_EQ(w().Ign_Cycles.text(), "0x");
}

TEST_F(ViewTest, RadioClickGoesThroughTheModel) {
  w().map_type_1.setChecked(true);
  w().Label18.setColour(kWhite);
  int clicks = 0;
  w().map_type_2.onClick = [&clicks, inner = w().map_type_2.onClick] {
    ++clicks;
    inner();
  };
  radio(w().map_type_2)->click();
  EXPECT_TRUE(w().map_type_2.checked());
  EXPECT_FALSE(w().map_type_1.checked());
  EXPECT_TRUE(radio(w().map_type_2)->isChecked());
  EXPECT_FALSE(radio(w().map_type_1)->isChecked());
  EXPECT_TRUE(w().Label18.marked());
  EXPECT_EQ(clicks, 1);

  // Qt alone would toggle the button off on a second click; the model keeps
  // it checked and runs nothing.
  radio(w().map_type_2)->click();
  EXPECT_TRUE(w().map_type_2.checked());
  EXPECT_TRUE(radio(w().map_type_2)->isChecked());
  EXPECT_EQ(clicks, 1);
}

TEST_F(ViewTest, TheProgramCanUncheckAWholeGroup) {
  w().Pulse_Mode_1.setChecked(true);
  EXPECT_TRUE(radio(w().Pulse_Mode_1)->isChecked());
  w().Pulse_Mode_1.setChecked(false);
  EXPECT_FALSE(radio(w().Pulse_Mode_0)->isChecked());
  EXPECT_FALSE(radio(w().Pulse_Mode_1)->isChecked());
}

TEST_F(ViewTest, ButtonsAndMenuItemsRunTheirClickHandlers) {
  std::vector<std::string> runs;
  for (Field* field : {&w().BitBtn2, &w().Begin_Comm, &w().Putdataincontroller1, &w().Exit1}) {
    field->onClick = [&runs, field] { runs.push_back(field->name()); };
  }
  qobject_cast<QPushButton*>(view->widgetFor(w().BitBtn2))->click();
  qobject_cast<QPushButton*>(view->widgetFor(w().Begin_Comm))->click();
  view->actionFor(w().Putdataincontroller1)->trigger();
  view->actionFor(w().Exit1)->trigger();
  EXPECT_EQ(runs, (std::vector<std::string>{"BitBtn2", "Begin_Comm", "Putdataincontroller1", "Exit1"}));
}

TEST_F(ViewTest, EnterInAParameterFieldIsConsumedByItsKeyPressHandler) {
  std::vector<int> keys;
  w().Fuel_mx.onKeyPress = [&keys, inner = w().Fuel_mx.onKeyPress](int& key) {
    keys.push_back(key);
    inner(key);
  };
  int returnsSeenByBox = 0;
  QObject::connect(edit(w().Fuel_mx), &QLineEdit::returnPressed, [&] { ++returnsSeenByBox; });
  pressKey(edit(w().Fuel_mx), Qt::Key_Return, Qt::NoModifier, "\r");
  pressKey(edit(w().Fuel_mx), Qt::Key_Enter, Qt::KeypadModifier, "\r");
  EXPECT_EQ(keys, (std::vector<int>{13, 13}));
  EXPECT_EQ(returnsSeenByBox, 0);
  EXPECT_EQ(w().Fuel_mx.text(), "0");
}

TEST_F(ViewTest, KeysAHandlerLeavesAloneReachTheBox) {
  std::vector<int> keys;
  w().Fuel_mx.onKeyPress = [&keys](int& key) { keys.push_back(key); };
  int returnsSeenByBox = 0;
  QObject::connect(edit(w().Fuel_mx), &QLineEdit::returnPressed, [&] { ++returnsSeenByBox; });
  pressKey(edit(w().Fuel_mx), Qt::Key_Return, Qt::NoModifier, "\r");
  typeText(edit(w().Fuel_mx), "4");
  EXPECT_EQ(keys, (std::vector<int>{13, '4'}));
  EXPECT_EQ(returnsSeenByBox, 1);
  EXPECT_EQ(w().Fuel_mx.text(), "04");
}

struct ArrowCase {
  int qtKey;
  Qt::KeyboardModifiers modifiers;
  int virtualKey;
  bool shift;
};

class ArrowKeyTest : public ViewTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(ArrowKeyTest, ReachesTheKeyDownHandlerWithTheShiftState) {
  const ArrowCase& c = GetParam();
  std::vector<std::pair<int, bool>> seen;
  w().Min_Pressure.onKeyDown = [&seen](int key, bool shift) { seen.emplace_back(key, shift); };
  pressKey(edit(w().Min_Pressure), c.qtKey, c.modifiers);
  EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{c.virtualKey, c.shift}}));
}

INSTANTIATE_TEST_SUITE_P(
    Arrows, ArrowKeyTest,
    ::testing::Values(ArrowCase{Qt::Key_Left, Qt::NoModifier, kKeyLeft, false},
                      ArrowCase{Qt::Key_Up, Qt::NoModifier, kKeyUp, false},
                      ArrowCase{Qt::Key_Right, Qt::NoModifier, kKeyRight, false},
                      ArrowCase{Qt::Key_Down, Qt::NoModifier, kKeyDown, false},
                      ArrowCase{Qt::Key_Up, Qt::ShiftModifier, kKeyUp, true},
                      ArrowCase{Qt::Key_Down, Qt::ShiftModifier, kKeyDown, true},
                      ArrowCase{Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier, kKeyLeft, true},
                      ArrowCase{Qt::Key_Right, Qt::AltModifier, kKeyRight, false},
                      ArrowCase{Qt::Key_Down, Qt::ShiftModifier | Qt::KeypadModifier, kKeyDown, true}));

class FocusTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    w().Gain_Table_Group.setVisible(true);
    w().setHeight(kExpandedHeight);
    ASSERT_TRUE(showActive(*view));
  }
};

TEST_F(FocusTest, ModelFocusMovesTheRealFocusAndSelectsTheWholeText) {
  w().FS_RPM.setText("6000");
  w().FS_RPM.setFocus();
  EXPECT_EQ(QApplication::focusWidget(), edit(w().FS_RPM));
  EXPECT_EQ(edit(w().FS_RPM)->selectedText(), "6000");
}

TEST_F(FocusTest, FocusTheUserMovesIsNotedInTheModel) {
  edit(w().Rate_Cut)->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(w().model.focused(), &w().Rate_Cut);
  view->widgetFor(w().map_type_3)->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(w().model.focused(), &w().map_type_3);
}

TEST_F(FocusTest, AKeyThatMovesTheFocusIsNotAlsoActedOnByTheBoxItLeft) {
  w().max_rpm.setText("123");
  w().Num_Cyls.setText("4");
  w().max_rpm.onKeyDown = [this](int key, bool) {
    if (key == kKeyRight) w().Num_Cyls.setFocus();
  };
  edit(w().max_rpm)->setFocus(Qt::MouseFocusReason);
  edit(w().max_rpm)->setCursorPosition(1);
  pressKey(edit(w().max_rpm), Qt::Key_Right);
  EXPECT_EQ(QApplication::focusWidget(), edit(w().Num_Cyls));
  EXPECT_EQ(edit(w().Num_Cyls)->selectedText(), "4");
  EXPECT_EQ(edit(w().max_rpm)->cursorPosition(), 1);

  // A key after which the focus stays is the box's as well.
  pressKey(edit(w().Num_Cyls), Qt::Key_Left);
  EXPECT_EQ(QApplication::focusWidget(), edit(w().Num_Cyls));
  EXPECT_TRUE(edit(w().Num_Cyls)->selectedText().isEmpty());
}

TEST_F(FocusTest, AHiddenFieldDoesNotTakeTheFocus) {
  edit(w().Fuel_mx)->setFocus(Qt::MouseFocusReason);
  w().Fuel_b.setFocus();
  EXPECT_EQ(QApplication::focusWidget(), edit(w().Fuel_mx));
}

TEST_F(ViewTest, MenusCarryTheirAccessKeys) {
  QStringList titles;
  for (QAction* action : view->menuBar()->actions()) titles << action->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&Port", "&Log"}));
  EXPECT_EQ(view->actionFor(w().Exit2)->text(), "E&xit");
  EXPECT_EQ(view->actionFor(w().COM31)->text(), "COM&3");
  EXPECT_EQ(view->actionFor(w().Startlogging1)->text(), QString::fromUtf8("&Start logging\u2026"));
  EXPECT_EQ(view->actionFor(w().Stoplogging1)->text(), "S&top logging");
}

TEST_F(ViewTest, MenuItemsShowTheModelsCheckMark) {
  // A port choice checks its own item and unchecks the others.
  std::array<Field*, 4> ports = {&w().COM11, &w().COM21, &w().COM31, &w().COM41};
  for (Field* port : ports) {
    port->onClick = [port, ports] {
      for (Field* other : ports) other->setChecked(other == port);
    };
  }
  view->actionFor(w().COM41)->trigger();
  view->actionFor(w().COM21)->trigger();
  for (Field* item : ports) {
    QAction* action = view->actionFor(*item);
    EXPECT_EQ(action->isChecked(), item == &w().COM21) << item->name();
    EXPECT_EQ(action->isCheckable(), item == &w().COM21) << item->name();
  }
  // Choosing the checked port again leaves it checked; Qt alone would
  // toggle the mark off.
  view->actionFor(w().COM21)->trigger();
  EXPECT_TRUE(view->actionFor(w().COM21)->isChecked());
}

TEST_F(ViewTest, VisibilityAndEnabledStateFollowTheModel) {
  EXPECT_FALSE(view->widgetFor(w().Gain_Table_Group)->isVisibleTo(view.get()));
  EXPECT_TRUE(view->widgetFor(w().Begin_Comm)->isEnabled());
  EXPECT_FALSE(view->widgetFor(w().Halt_Comm)->isEnabled());
  w().Gain_Table_Group.setVisible(true);
  w().Begin_Comm.setEnabled(false);
  w().Halt_Comm.setEnabled(true);
  EXPECT_TRUE(view->widgetFor(w().Gain_Table_Group)->isVisibleTo(view.get()));
  EXPECT_FALSE(view->widgetFor(w().Begin_Comm)->isEnabled());
  EXPECT_TRUE(view->widgetFor(w().Halt_Comm)->isEnabled());
  w().Exit1.setEnabled(false);
  EXPECT_FALSE(view->actionFor(w().Exit1)->isEnabled());
}

// The raster painter's worker threads do not survive fork(), so the dying
// process is started afresh.
TEST_F(ViewTest, ClosingTheWindowEndsTheProcessWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        QtDesktop desktop;
        Program program(desktop, {}, headless.dir.path());
        MainView window(program);
        window.close();
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ViewTest, FileExitEndsTheProcessWithStatusZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::ofstream(headless.dir.path() / "comm.ini") << "1\n";
        QtDesktop desktop;
        Program program(desktop, {}, headless.dir.path());
        FormCreate(program);  // comm.ini is there, so no message box
        MainView window(program);
        program.Frm_Mapping.Fuel_mx.setText("5");  // an unsent edit is not asked about
        window.actionFor(program.Frm_Mapping.Exit2)->trigger();
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace korvane
