// What a screen reader reads from the window, asked as it asks: through Qt's
// accessibility interfaces.
#include <QAccessible>
#include <QLabel>
#include <ostream>

#include "link/conversions.h"
#include "view_fixture.h"

// Failures show texts as text; QString lives in the global namespace.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace korvane {
namespace {

class AccessibilityTest : public testing::ViewTest {
 protected:
  QAccessibleInterface* accessible(const Field& field) {
    return QAccessible::queryAccessibleInterface(view->widgetFor(field));
  }
};

TEST_F(AccessibilityTest, RadioButtonsAreRadioButtonsInsideTheirCaptionedGroup) {
  const struct {
    Field TFrm_Mapping::*button;
    const char* name;
    Field TFrm_Mapping::*group;
    const char* groupName;
  } cases[] = {
      {&TFrm_Mapping::map_type_1, "1 Bar", &TFrm_Mapping::GroupBox1, "Range"},
      {&TFrm_Mapping::map_type_2, "2 Bar", &TFrm_Mapping::GroupBox1, "Range"},
      {&TFrm_Mapping::map_type_3, "3 bar", &TFrm_Mapping::GroupBox1, "Range"},
      {&TFrm_Mapping::Pulse_Mode_0, "Cont.", &TFrm_Mapping::GroupBox2, "Mode"},
      {&TFrm_Mapping::Pulse_Mode_1, "Trig.", &TFrm_Mapping::GroupBox2, "Mode"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QAccessibleInterface* button = accessible(w().*c.button);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->role(), QAccessible::RadioButton);
    EXPECT_EQ(button->text(QAccessible::Name), c.name);
    EXPECT_TRUE(button->state().checkable);
    QAccessibleInterface* group = button->parent();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->object(), view->widgetFor(w().*c.group));
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), c.groupName);
    const auto labelledBy = button->relations(QAccessible::Label);
    ASSERT_EQ(labelledBy.size(), 1);
    EXPECT_EQ(labelledBy.front().first->object(), group->object());
  }
}

TEST_F(AccessibilityTest, AScreenReadersChoiceGoesThroughTheModel) {
  w().map_type_1.setChecked(true);
  w().Label18.setColour(kWhite);
  QAccessibleInterface* one = accessible(w().map_type_1);
  QAccessibleInterface* two = accessible(w().map_type_2);
  const QString toggle = QAccessibleActionInterface::toggleAction();
  ASSERT_TRUE(two->actionInterface()->actionNames().contains(toggle));
  two->actionInterface()->doAction(toggle);
  EXPECT_TRUE(w().map_type_2.checked());
  EXPECT_FALSE(w().map_type_1.checked());
  EXPECT_TRUE(w().Label18.marked());
  EXPECT_TRUE(two->state().checked);
  EXPECT_FALSE(one->state().checked);

  // As with a click, choosing the checked button again leaves it checked.
  two->actionInterface()->doAction(toggle);
  EXPECT_TRUE(w().map_type_2.checked());
  EXPECT_TRUE(two->state().checked);

  // The program may leave a whole group unchecked, and that is what is told.
  w().map_type_2.setChecked(false);
  EXPECT_FALSE(two->state().checked);
}

TEST_F(AccessibilityTest, EachParameterBoxIsNamedByTheCaptionJustLeftOfIt) {
  for (const CaptionedField& parameter : w().parameterCaptions()) {
    SCOPED_TRACE(parameter.field->name());
    QAccessibleInterface* box = accessible(*parameter.field);
    EXPECT_EQ(box->role(), QAccessible::EditableText);
    EXPECT_EQ(box->text(QAccessible::Name).toStdString(), parameter.caption->text());
    EXPECT_EQ(box->text(QAccessible::Value), "0");
    const auto labelledBy = box->relations(QAccessible::Label);
    ASSERT_EQ(labelledBy.size(), 1);
    EXPECT_EQ(labelledBy.front().first->object(), view->widgetFor(*parameter.caption));

    // The pairing is the one on screen: the caption ends just before the box,
    // level with it, closer than any other box could be.
    const QRect boxArea = view->widgetFor(*parameter.field)->geometry();
    const QRect captionArea = view->widgetFor(*parameter.caption)->geometry();
    EXPECT_LT(captionArea.right(), boxArea.left());
    EXPECT_LT(boxArea.left() - captionArea.right(), 40);
    EXPECT_TRUE(boxArea.contains(boxArea.left(), captionArea.center().y()));
  }
}

TEST_F(AccessibilityTest, CellsAreNamedByTheSpeedsAndPressuresTheAxesShowNow) {
  EXPECT_EQ(accessible(*w().GainCells[9])->text(QAccessible::Name), "0 RPM, 0 kPa");  // axes not yet read
  headless->ControllerSettings.MapSpanKpa = 100;
  setMapAxisLabels(*headless);
  const struct {
    int fullScaleRpm;
    int index;
    const char* name;
  } cases[] = {
      {8000, 0, "0 to 500 RPM, 0 to 12 kPa"},
      {8000, 8, "500 to 1000 RPM, 0 to 12 kPa"},  // no label on its left edge
      {8000, 21, "1000 to 1500 RPM, 62 to 75 kPa"},
      {8000, 127, "7500 to 8000 RPM, 87 to 100 kPa"},
      {7500, 8, "469 to 937 RPM, 0 to 12 kPa"},  // halfway between 0 and 937, rounded
  };
  for (const auto& c : cases) {
    headless->ControllerSettings.FullScaleRpm = c.fullScaleRpm;
    setRpmAxisLabels(*headless);
    EXPECT_EQ(accessible(*w().GainCells[c.index])->text(QAccessible::Name), c.name) << c.index;
  }
  QAccessibleInterface* cell = accessible(*w().GainCells[21]);
  EXPECT_EQ(cell->role(), QAccessible::EditableText);
  EXPECT_EQ(cell->text(QAccessible::Description), "Gain, RPM column 3 of 16, MAP row 6 of 8");
}

TEST_F(AccessibilityTest, LiveValuesSayWhatTheyAreAndTellWhatTheyShowAsTheValue) {
  const struct {
    Field TFrm_Mapping::*field;
    const char* name;
    const char* shown;
  } cases[] = {
      {&TFrm_Mapping::rpm_dpy, "Engine speed", "2450 RPM"},     {&TFrm_Mapping::map_dpy, "MAP [kPa]", "63.5"},
      {&TFrm_Mapping::inj_dpy, "Pulse width [ms]", "3.25"},     {&TFrm_Mapping::FW_Rev, "Controller revision", "v2.10"},
      {&TFrm_Mapping::SW_Rev, "Software revision", "v1.04.02"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    (w().*c.field).setText(c.shown);
    QAccessibleInterface* value = accessible(w().*c.field);
    EXPECT_EQ(value->role(), QAccessible::StaticText);
    EXPECT_EQ(value->text(QAccessible::Name), c.name);
    EXPECT_EQ(value->text(QAccessible::Value), c.shown);
    ASSERT_NE(value->textInterface(), nullptr);
    EXPECT_EQ(value->textInterface()->text(0, value->textInterface()->characterCount()), c.shown);
  }
  for (Field* button : {&w().Begin_Comm, &w().Halt_Comm, &w().BitBtn2}) {
    EXPECT_FALSE(accessible(*button)->text(QAccessible::Name).isEmpty()) << button->name();
  }
}

}  // namespace
}  // namespace korvane
