// What the widgets paint, and that painting only what changed leaves the
// window as a full redraw would: the edit boxes' border and mark, the
// activity lamp's colours, and a monitoring session's worth of repaints;
// and when, behind the gate, what an operation changes is shown.
#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <string>

#include "ui/operation_gate.h"
#include "ui/qt_desktop.h"
#include "view_fixture.h"

namespace korvane {
namespace {

using testing::ViewTest;

const QColor kBorder(0x7f, 0x84, 0x8c);
const QColor kFocusBorder(0x2f, 0x6f, 0xd6);

// The middle pixel of each of the box's four edges.
std::vector<QColor> edgeColours(const QImage& box) {
  const int w = box.width();
  const int h = box.height();
  return {box.pixelColor(0, h / 2), box.pixelColor(w - 1, h / 2), box.pixelColor(w / 2, 0),
          box.pixelColor(w / 2, h - 1)};
}

struct EditLook {
  Colour mark;
  bool focused;
};

class EditLookTest : public ViewTest, public ::testing::WithParamInterface<EditLook> {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    w().Gain_Table_Group.setVisible(true);
    w().setHeight(kExpandedHeight);
    ASSERT_TRUE(testing::showActive(*view));
  }
};

TEST_P(EditLookTest, MarkFillsTheBoxToItsSinglePixelBorder) {
  const EditLook& look = GetParam();
  Field& box = w().Rate_Cut;
  box.setText("20");
  box.setColour(look.mark);
  if (look.focused) box.setFocus();
  const QImage image = view->widgetFor(box)->grab().toImage();
  const QColor border = look.focused ? kFocusBorder : kBorder;
  for (const QColor& edge : edgeColours(image)) EXPECT_EQ(edge, border);
  // Just inside the border, clear of the text and of its selection.
  EXPECT_EQ(image.pixelColor(1, 1), toQColor(look.mark));
  EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2), toQColor(look.mark));
}

INSTANTIATE_TEST_SUITE_P(Marks, EditLookTest,
                         ::testing::Values(EditLook{kWhite, false}, EditLook{kYellow, false}, EditLook{kWhite, true},
                                           EditLook{kYellow, true}));

TEST_F(ViewTest, TheActivityLampShowsEachColourItBlinksTo) {
  w().Gain_Table_Group.setVisible(true);
  QWidget* lamp = view->widgetFor(w().heartbeat);
  for (Colour colour : {kSilver, kGrey, kSilver, kRed}) {
    w().heartbeat.setColour(colour);
    const QImage image = lamp->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), toQColor(colour)) << std::hex << colour;
  }
}

// What the window shows after it was painted piece by piece: the cells and
// the lamp repainted at once by the program, cursor bars that move, a
// progress text, and parts of the group boxes exposed again.
TEST_F(ViewTest, RepaintsOfWhatChangedLeaveWhatAFullRedrawDraws) {
  w().Gain_Table_Group.setVisible(true);
  w().setHeight(kExpandedHeight);
  ASSERT_TRUE(testing::showActive(*view));
  for (int step = 0; step < 24; ++step) {
    Field& cell = *w().GainCells[static_cast<std::size_t>(step * 5)];
    cell.setText(step % 2 ? "1.11" : ".98");
    cell.setColour(step % 3 ? kWhite : kYellow);
    cell.repaint();
    w().heartbeat.setColour(step % 2 ? kSilver : kGrey);
    w().heartbeat.repaint();
    w().map_r_ptr.setLeft(120 + step * 17);
    w().map_r_ptr.repaint();
    w().map_p_ptr.setTop(150 + step * 9);
    w().map_p_ptr.repaint();
    w().rpm_dpy.setText(std::to_string(step * 311) + " RPM");
    w().stat.setText("Uploading controller " + std::to_string(step * 4) + ".0 %");
    w().stat.repaint();
  }
  for (Field* group : {&w().GroupBox1, &w().GroupBox2}) {
    view->widgetFor(*group)->repaint(QRect(0, 0, 40, 12));    // the caption
    view->widgetFor(*group)->repaint(QRect(30, 20, 40, 70));  // the right-hand edge
  }
  testing::processEventsUntil([] { return false; }, 50);
  const QImage shown = view->screen()->grabWindow(view->winId()).toImage().convertToFormat(QImage::Format_RGB32);
  const QImage redrawn = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), redrawn.size());
  EXPECT_TRUE(shown == redrawn);
}

// Behind the gate a repaint asked for during an operation is painted by the
// wait that follows, while the operation still runs: the cell just read and
// the lamp are on the screen before the next frame goes out.
class GatedViewTest : public ViewTest {
 protected:
  GatedViewTest() { buildInSetUp_ = false; }
  // The view lets go of the gate as it goes, so it goes first.
  ~GatedViewTest() override { view.reset(); }
  void SetUp() override {
    view = std::make_unique<MainView>(*headless, &gate);
    w().Gain_Table_Group.setVisible(true);
    w().setHeight(kExpandedHeight);
    ASSERT_TRUE(testing::showActive(*view));
    testing::processEventsUntil([] { return false; }, 50);
  }

  // Counts the paints of `field`'s widget.
  struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
    int paints = 0;
  };

  QtDesktop desktop;  // its waits and boxes go through its gate
  OperationGate& gate = desktop.gate();
};

TEST_F(GatedViewTest, RepaintsAskedForInAnOperationArePaintedByItsNextWait) {
  Field& cell = *w().GainCells[17];
  PaintCounter cellPaints, lampPaints;
  view->widgetFor(cell)->installEventFilter(&cellPaints);
  view->widgetFor(w().heartbeat)->installEventFilter(&lampPaints);
  int cellPaintsInWait = -1, lampPaintsInWait = -1;
  gate.run([&] {
    cell.setText("1.23");
    cell.setColour(kWhite);
    cell.repaint();
    w().heartbeat.setColour(w().heartbeat.colour() == kGrey ? kSilver : kGrey);
    w().heartbeat.repaint();
    gate.wait(OperationGate::Clock::now() + std::chrono::milliseconds(30));
    cellPaintsInWait = cellPaints.paints;
    lampPaintsInWait = lampPaints.paints;
  });
  EXPECT_EQ(cellPaintsInWait, 1) << "the cell was painted once, during the wait";
  EXPECT_EQ(lampPaintsInWait, 1) << "the lamp was painted once, during the wait";
  const QImage shown = view->screen()->grabWindow(view->winId()).toImage().convertToFormat(QImage::Format_RGB32);
  const QImage redrawn = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(shown == redrawn) << "what the wait painted is what a full redraw draws";
}

// Between two waits of an operation the program is on its way from a reply
// to the next frame; what it changed meanwhile is on the widgets once the
// window next handles events: in the wait, in a box the operation opens,
// and at the operation's end.
TEST_F(GatedViewTest, AnOperationsChangesReachTheWidgetsAtItsWaitsItsBoxesAndItsEnd) {
  Field& box = w().Rate_Cut;
  const QLineEdit* shown = edit(box);
  QString beforeWait, inWait, inBox;
  gate.run([&] {
    box.setText("21");
    beforeWait = shown->text();
    QTimer::singleShot(0, [&] { inWait = shown->text(); });
    desktop.sleep(20);
    box.setText("22");
    QTimer::singleShot(0, [&] {
      inBox = shown->text();
      QApplication::activeModalWidget()->close();
    });
    desktop.messageBox("The value for the Rev Limiter is too high, it will not be updated", "ERROR");
    box.setText("23");
  });
  EXPECT_NE(beforeWait, "21") << "not on the way to the next frame";
  EXPECT_EQ(inWait, "21");
  EXPECT_EQ(inBox, "22");
  EXPECT_EQ(shown->text(), "23");
}

}  // namespace
}  // namespace korvane
