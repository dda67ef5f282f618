// The window as built from the model: geometry, heights, stacking, texts that
// fit, and a rendered picture of both layouts.
#include <QFontMetrics>
#include <QLabel>
#include <QMenuBar>

#include "view_fixture.h"

namespace korvane {
namespace {

using testing::ViewTest;

bool isWidgetKind(FieldKind kind) {
  return kind != FieldKind::Form && kind != FieldKind::Menu && kind != FieldKind::MenuItem;
}

TEST_F(ViewTest, EveryControlSitsWhereTheModelPutsIt) {
  int checked = 0;
  for (Field* field : w().model.fields()) {
    if (!isWidgetKind(field->kind())) continue;
    QWidget* widget = view->widgetFor(*field);
    ASSERT_NE(widget, nullptr) << field->name();
    QWidget* parent = field->parent() == &w().form ? view->clientArea() : view->widgetFor(*field->parent());
    EXPECT_EQ(widget->parentWidget(), parent) << field->name();
    EXPECT_EQ(widget->pos(), QPoint(field->left(), field->top())) << field->name();
    if (field->width() != 0) {
      EXPECT_EQ(widget->size(), QSize(field->width(), field->height())) << field->name();
    } else {
      EXPECT_GT(widget->width(), 0) << field->name() << " is sized to its text";
    }
    ++checked;
  }
  EXPECT_GE(checked, 70) << "the window's own controls, without the gain cells";
}

TEST_F(ViewTest, MovedFieldsMoveTheirWidgets) {
  w().map_r_ptr.setLeft(336);
  w().map_p_ptr.setTop(245);
  EXPECT_EQ(view->widgetFor(w().map_r_ptr)->x(), 336);
  EXPECT_EQ(view->widgetFor(w().map_p_ptr)->y(), 245);
}

class HeightTest : public ViewTest, public ::testing::WithParamInterface<int> {};

TEST_P(HeightTest, OuterHeightLeavesTheClientAreaBelowTheMenuBar) {
  const int height = GetParam();
  w().setHeight(height);
  EXPECT_EQ(view->clientArea()->size(), QSize(kClientWidth, height - kWindowFrameHeight));
  EXPECT_EQ(view->clientArea()->y(), view->menuBar()->height());
  EXPECT_EQ(view->size(), QSize(kClientWidth, view->menuBar()->height() + height - kWindowFrameHeight));
  EXPECT_EQ(view->minimumSize(), view->maximumSize()) << "the user cannot resize the window";
}

INSTANTIATE_TEST_SUITE_P(Layouts, HeightTest, ::testing::Values(kCollapsedHeight, kExpandedHeight));

TEST_F(ViewTest, StartsCollapsedAtItsPlaceWithItsCaption) {
  EXPECT_EQ(view->clientArea()->height(), kCollapsedHeight - kWindowFrameHeight);
  EXPECT_EQ(view->windowTitle(), "Korvane");
  EXPECT_EQ(view->pos(), QPoint(214, 84));
  EXPECT_FALSE(view->windowIcon().isNull());
}

TEST_F(ViewTest, ANewHeightDoesNotPullBackAMovedWindow) {
  view->move(400, 300);
  w().setHeight(kExpandedHeight);
  EXPECT_EQ(view->pos(), QPoint(400, 300));
}

TEST_F(ViewTest, ButtonsLieAboveTheLabelsThatOverlapThem) {
  // The progress label lies across both buttons; the buttons take the clicks.
  QWidget* client = view->clientArea();
  const QPoint onStat(w().stat.left() + 20, w().stat.top() + 5);
  EXPECT_EQ(client->childAt(onStat), view->widgetFor(w().Begin_Comm));
  const QObjectList& order = client->children();
  EXPECT_LT(order.indexOf(view->widgetFor(w().stat)), order.indexOf(view->widgetFor(w().Halt_Comm)));
  // While the buttons are hidden the progress text is what shows there.
  w().Begin_Comm.setVisible(false);
  w().Halt_Comm.setVisible(false);
  w().stat.setText("Reading cell 12");
  EXPECT_TRUE(view->widgetFor(w().stat)->isVisibleTo(view.get()));
}

// Every label text is shown whole: fixed-width labels hold their texts, also
// the longest the program writes, and the captions end before their boxes.
TEST_F(ViewTest, LabelTextsFitTheirLabels) {
  w().FW_Rev.setText("v12.34.567");
  w().rpm_dpy.setText("12345 RPM");
  w().inj_dpy.setText("25.55");
  for (auto& label : w().rpm_lbl) label->setText("12000");
  for (Field* field : w().model.fields()) {
    if (field->kind() != FieldKind::Label || field->width() == 0) continue;
    auto* label = qobject_cast<QLabel*>(view->widgetFor(*field));
    ASSERT_NE(label, nullptr);
    EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width()) << field->name();
  }
}

// A label of fixed width takes the widest stretch at which its text fits,
// whichever text it showed before: a long one does not leave it narrow.
TEST_F(ViewTest, LabelTakesTheWidestStretchAtWhichItsTextFits) {
  auto* label = qobject_cast<QLabel*>(view->widgetFor(w().FW_Rev));
  ASSERT_NE(label, nullptr);
  for (const char* text : {"v1.0", "v12.34.567", "v1.2", "v88.88.888", "v12.34.567", "v1.02.74", "v1.0"}) {
    w().FW_Rev.setText(text);
    QFont wider = label->font();
    EXPECT_LE(QFontMetrics(wider).horizontalAdvance(label->text()), label->width()) << text;
    if (wider.stretch() == QFont::SemiCondensed) continue;
    wider.setStretch(wider.stretch() + 3);
    EXPECT_GT(QFontMetrics(wider).horizontalAdvance(label->text()), label->width()) << text << " would fit wider";
  }
  EXPECT_EQ(label->font().stretch(), QFont::SemiCondensed) << "a short text is shown at the window's own stretch";
}

TEST_F(ViewTest, ParameterCaptionsEndBeforeTheirBoxes) {
  const std::pair<Field*, Field*> captions[] = {
      {&w().Label3, &w().Fuel_mx},      {&w().Label5, &w().Num_Cyls},       {&w().Label9, &w().Ign_Cycles},
      {&w().Label10, &w().Rate_Cut},    {&w().Label6, &w().FS_RPM},         {&w().Label7, &w().max_rpm},
      {&w().Label8, &w().Min_Pressure}, {&w().Label15, &w().Fuel_Cut_Time}, {&w().Label17, &w().Inj_Inhibit}};
  for (auto [caption, box] : captions) {
    EXPECT_LT(view->widgetFor(*caption)->geometry().right(), view->widgetFor(*box)->x()) << caption->name();
  }
}

TEST_F(ViewTest, ModifiedMarkFillsTheEditBox) {
  for (Colour mark : {kYellow, kWhite, kYellow}) {
    w().Inj_Inhibit.setColour(mark);
    const QImage image = view->widgetFor(w().Inj_Inhibit)->grab().toImage();
    // Away from the text and inside the border.
    EXPECT_EQ(image.pixelColor(image.width() - 4, image.height() - 4), toQColor(mark)) << std::hex << mark;
  }
}

TEST_F(ViewTest, RendersBothLayoutsToPng) {
  const QImage collapsed = view->grab().toImage();
  ASSERT_TRUE(collapsed.save(testing::renderPath(QStringLiteral("korvane-collapsed.png"))));
  w().Gain_Table_Group.setVisible(true);
  w().setHeight(kExpandedHeight);
  const QImage expanded = view->grab().toImage();
  ASSERT_TRUE(expanded.save(testing::renderPath(QStringLiteral("korvane-expanded.png"))));
  EXPECT_EQ(collapsed.width(), kClientWidth);
  EXPECT_EQ(expanded.height() - collapsed.height(), kExpandedHeight - kCollapsedHeight);
}

// The grid is created by start-up before the view exists; any such field
// gets its widget and its routes like the fields of the window's description.
class LateFieldTest : public ViewTest {
 protected:
  LateFieldTest() { buildInSetUp_ = false; }
};

TEST_F(LateFieldTest, FieldsCreatedBeforeTheViewGetWidgetsAndRoutes) {
  FieldSpec description;
  description.name = "cell";
  description.kind = FieldKind::Edit;
  description.parent = &w().Gain_Table_Group;
  description.left = 136;
  description.top = 338;
  description.width = 34;
  description.height = 24;
  description.font = {13, false, kBlack};
  auto cell = std::make_unique<Field>(w().model, description);
  std::vector<int> keys;
  cell->onKeyDown = [&keys](int key, bool) { keys.push_back(key); };
  buildView();
  QWidget* widget = view->widgetFor(*cell);
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->parentWidget(), view->widgetFor(w().Gain_Table_Group));
  EXPECT_EQ(widget->geometry(), QRect(136, 338, 34, 24));
  testing::pressKey(widget, Qt::Key_Up);
  testing::typeText(widget, "1.5");
  EXPECT_EQ(keys, std::vector<int>{kKeyUp});
  EXPECT_EQ(cell->text(), "1.5");
  view.reset();  // the view goes before the field it shows
}

}  // namespace
}  // namespace korvane
