// The window model's rules, the start-up state and the marking handlers.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "support/headless_program.h"
#include "support/recording_observer.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;
using testing::RecordingObserver;

FieldSpec description(const char* name, FieldKind kind, Field* parent = nullptr) {
  FieldSpec s;
  s.name = name;
  s.kind = kind;
  s.parent = parent;
  return s;
}

TEST(WindowModelTest, DifferentTextRunsTheChangeHandlerOnce) {
  WindowModel model;
  Field edit(model, description("e", FieldKind::Edit));
  int runs = 0;
  edit.onChange = [&] { ++runs; };
  edit.setText("1");
  edit.setText("1");
  edit.setText("2");
  EXPECT_EQ(runs, 2);
}

TEST(WindowModelTest, CheckingARadioUnchecksItsGroupThenRunsItsClick) {
  WindowModel model;
  Field boxA(model, description("a", FieldKind::GroupBox));
  Field boxB(model, description("b", FieldKind::GroupBox));
  Field a1(model, description("a1", FieldKind::Radio, &boxA));
  Field a2(model, description("a2", FieldKind::Radio, &boxA));
  Field b1(model, description("b1", FieldKind::Radio, &boxB));
  std::vector<std::string> seen;
  a2.onClick = [&] { seen.push_back(a1.checked() ? "a1 still checked" : "a1 unchecked"); };
  a1.setChecked(true);
  b1.setChecked(true);
  a2.click();
  EXPECT_EQ(seen, std::vector<std::string>{"a1 unchecked"});
  EXPECT_TRUE(a2.checked());
  EXPECT_TRUE(b1.checked()) << "another group is not touched";
  a2.click();
  a2.setChecked(false);
  EXPECT_EQ(seen.size(), 1u) << "clicking a checked button or unchecking runs nothing";
}

TEST(WindowModelTest, OtherPropertiesRunNoHandlerButReachTheObserver) {
  WindowModel model;
  RecordingObserver observer;
  model.setObserver(&observer);
  Field edit(model, description("e", FieldKind::Edit));
  int runs = 0;
  edit.onChange = edit.onClick = [&] { ++runs; };
  edit.setColour(kYellow);
  edit.setVisible(false);
  edit.setEnabled(false);
  edit.setLeft(5);
  edit.setTop(6);
  edit.setFocus();
  edit.repaint();
  EXPECT_EQ(runs, 0);
  EXPECT_EQ(observer.changes.size(), 6u);
  ASSERT_EQ(observer.repaints.size(), 1u);
  EXPECT_TRUE(edit.focused());
}

TEST(StartUpTest, WindowStartsCollapsedWithEveryFieldInItsInitialState) {
  HeadlessProgram p;
  TFrm_Mapping& w = p.window();
  EXPECT_EQ(w.height(), kCollapsedHeight);
  EXPECT_EQ(w.form.text(), "Korvane");
  EXPECT_FALSE(w.Gain_Table_Group.visible());
  EXPECT_TRUE(w.Begin_Comm.enabled());
  EXPECT_FALSE(w.Halt_Comm.enabled());
  EXPECT_EQ(w.SW_Rev.text(), "v1.04.02");
  EXPECT_EQ(w.FW_Rev.text(), "Unknown");
  for (Field* radio : {&w.map_type_1, &w.map_type_2, &w.map_type_3, &w.Pulse_Mode_0, &w.Pulse_Mode_1}) {
    EXPECT_FALSE(radio->checked()) << radio->name();
  }
  for (Field* field : w.parameterFields()) {
    EXPECT_EQ(field->text(), "0") << field->name();
    EXPECT_FALSE(field->marked()) << field->name();
    EXPECT_EQ(field->parent(), &w.Gain_Table_Group);
  }
  EXPECT_EQ(w.heartbeat.colour(), kSilver);
  EXPECT_EQ(w.rpm_dpy.text(), "? RPM");
  EXPECT_EQ(w.rpm_lbl[8]->left(), 72 + 640);
  EXPECT_EQ(w.map_lbl[8]->top(), 389 - 256);
  EXPECT_FALSE(w.Label18.visible());
  EXPECT_FALSE(w.Flag_Value.visible());
  EXPECT_EQ(w.Exit2.text(), "E&xit");
  EXPECT_EQ(p->CommState, CommState::Idle);
  EXPECT_FALSE(p->ControllerPort.IsOpen);
  EXPECT_EQ(p->ControllerPort.BaudRate, 9600);
}

TEST(MarkingTest, TypingInNumCylsMarksThreeFields) {
  HeadlessProgram p;
  TFrm_Mapping& w = p.window();
  w.Num_Cyls.setText("4");
  EXPECT_TRUE(w.Num_Cyls.marked());
  EXPECT_TRUE(w.FS_RPM.marked());
  EXPECT_TRUE(w.max_rpm.marked());
  EXPECT_FALSE(w.Fuel_mx.marked());
}

TEST(MarkingTest, EachParameterFieldMarksOnlyItself) {
  for (int i = 0; i < 9; ++i) {
    HeadlessProgram p;
    auto fields = p.window().parameterFields();
    if (fields[i] == &p.window().Num_Cyls) continue;
    fields[i]->setText("7");
    for (int j = 0; j < 9; ++j) {
      EXPECT_EQ(fields[j]->marked(), i == j) << fields[i]->name() << " edited, " << fields[j]->name() << " seen";
    }
  }
}

TEST(MarkingTest, PulseModeButtonsWriteAndMarkFlagValue) {
  HeadlessProgram p;
  TFrm_Mapping& w = p.window();
  w.Pulse_Mode_0.click();
  w.Flag_Value.setColour(kWhite);
  w.Pulse_Mode_1.click();
  EXPECT_EQ(w.Flag_Value.text(), "1");
  EXPECT_TRUE(w.Flag_Value.marked());
  EXPECT_FALSE(w.Pulse_Mode_0.checked());
  w.Flag_Value.setColour(kWhite);
  w.Pulse_Mode_1.click();
  EXPECT_FALSE(w.Flag_Value.marked()) << "clicking it again changes nothing";
}

TEST(MarkingTest, MapRangeButtonsMarkOnlyLabel18) {
  HeadlessProgram p;
  TFrm_Mapping& w = p.window();
  w.map_type_2.click();
  EXPECT_TRUE(w.Label18.marked());
  for (Field* field : w.parameterFields()) EXPECT_FALSE(field->marked()) << field->name();
}

TEST(ExitTest, ExitAndCloseEndTheProcessWithStatusZero) {
  HeadlessProgram p;
  p.window().Fuel_mx.setText("9");
  const auto messagesBefore = p.desktop.messages.size();  // start-up may have asked for a port
  try {
    p.window().Exit2.click();
    FAIL() << "Exit returned";
  } catch (const testing::ProcessExit& exit) {
    EXPECT_EQ(exit.status, 0);
  }
  EXPECT_THROW(FormOnClose(*p), testing::ProcessExit);
  EXPECT_EQ(p.desktop.messages.size(), messagesBefore) << "nothing is asked";
}

TEST(GuardTest, AnEscapingExceptionIsShownWithAFullStopAndTheProgramGoesOn) {
  HeadlessProgram p;
  guarded(*p, [] { throw std::runtime_error("Invalid variant type conversion"); });
  guarded(*p, [] { throw std::runtime_error("Ends with a stop."); });
  guarded(*p, [] { throw std::runtime_error("Ends with a blank "); });
  EXPECT_EQ(p.desktop.exceptions,
            (std::vector<std::string>{"Invalid variant type conversion.", "Ends with a stop.", "Ends with a blank "}));
}

}  // namespace
}  // namespace korvane
