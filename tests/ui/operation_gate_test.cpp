// The gate: what the window does while an operation waits for the
// controller, and what it keeps for afterwards.
#include "ui/operation_gate.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>
#include <thread>
#include <vector>

#include "qt_app.h"
#include "ui/qt_desktop.h"

namespace korvane {
namespace {

using namespace std::chrono_literals;
using testing::ensureQtApplication;
using testing::processEventsUntil;
using Clock = OperationGate::Clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A click as the window system delivers it: a press and a release.
void clickWithMouse(QWidget* widget) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  const QPointF global = widget->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

// A small window: a button, an edit box, and a record of what reached it.
class Window : public QWidget {
 public:
  Window() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(button);
    layout->addWidget(edit);
    edit->setText("Inj. Scaler");
    QObject::connect(button, &QPushButton::clicked, [this] { clicks.push_back(msSince(start)); });
    button->installEventFilter(this);
    resize(200, 80);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) paints.push_back(msSince(start));
    return false;
  }
  void closeEvent(QCloseEvent* event) override {
    closes.push_back(msSince(start));
    event->ignore();
  }

  Clock::time_point start = Clock::now();
  QPushButton* button = new QPushButton("Begin", this);
  QLineEdit* edit = new QLineEdit(this);
  std::vector<double> clicks, paints, closes;
};

TEST(OperationGateTest, AWaitPaintsAndAnswersButHoldsInputUntilTheOperationEnds) {
  ensureQtApplication();
  QtDesktop desktop;
  OperationGate& gate = desktop.gate();
  Window window;
  window.show();
  processEventsUntil([&] { return !window.paints.empty(); });
  window.paints.clear();

  QString readAloud;
  double readAt = -1;
  bool inputWhileWaiting = false;
  // An accessibility request comes from the bus's own thread, as a queued
  // call into the user-interface thread.
  std::thread bus([&] {
    std::this_thread::sleep_for(60ms);
    QMetaObject::invokeMethod(
        qApp,
        [&] {
          readAloud = QAccessible::queryAccessibleInterface(window.edit)->text(QAccessible::Value);
          readAt = msSince(window.start);
        },
        Qt::QueuedConnection);
  });
  QTimer::singleShot(30, [&] {
    inputWhileWaiting = gate.waiting();
    window.button->update();  // uncovered by another window
    clickWithMouse(window.button);
    testing::typeText(window.edit, "7");
    window.close();
  });
  window.start = Clock::now();
  double endedAt = 0;
  gate.run([&] {
    desktop.sleep(200);
    endedAt = msSince(window.start);
  });
  bus.join();

  ASSERT_TRUE(inputWhileWaiting) << "the input must come during the wait to show anything";
  EXPECT_EQ(readAloud, "Inj. Scaler");
  EXPECT_GT(readAt, 0);
  EXPECT_LT(readAt, endedAt) << "the accessibility request was answered during the wait";
  ASSERT_FALSE(window.paints.empty());
  EXPECT_LT(window.paints.front(), endedAt) << "the window repainted during the wait";
  EXPECT_GE(endedAt, 200) << "the wait lasted its time";
  EXPECT_TRUE(window.clicks.empty());
  EXPECT_EQ(window.edit->text(), "Inj. Scaler");
  EXPECT_TRUE(window.closes.empty());

  processEventsUntil([&] { return !window.closes.empty(); });
  ASSERT_EQ(window.clicks.size(), 1u);
  EXPECT_GE(window.clicks.front(), endedAt);
  EXPECT_EQ(window.edit->text(), "Inj. Scaler7");
  ASSERT_EQ(window.closes.size(), 1u);
  EXPECT_GE(window.closes.front(), endedAt);
}

TEST(OperationGateTest, ATickDueDuringAnOperationRunsOnceRightAfterItAndNeverInside) {
  ensureQtApplication();
  QtDesktop desktop;
  OperationGate& gate = desktop.gate();
  bool inside = false;
  std::vector<double> ticks;
  double tickedInside = 0;
  const Clock::time_point start = Clock::now();
  QTimer timer;
  timer.setInterval(100);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    gate.tick([&] {
      if (inside) ++tickedInside;
      ticks.push_back(msSince(start));
    });
  });
  timer.start();
  double endedAt = 0;
  gate.run([&] {
    inside = true;
    desktop.sleep(350);  // three ticks fall due
    inside = false;
    endedAt = msSince(start);
  });
  EXPECT_TRUE(ticks.empty());
  processEventsUntil([&] { return !ticks.empty(); }, 1000);
  timer.stop();
  ASSERT_FALSE(ticks.empty());
  EXPECT_EQ(tickedInside, 0);
  EXPECT_GE(ticks.front(), endedAt);
  EXPECT_LT(ticks.front() - endedAt, 50) << "the held tick runs as soon as the operation ends";
  processEventsUntil([] { return false; }, 30);
  EXPECT_EQ(ticks.size(), 1u) << "held ticks do not pile up";
}

// Exchanges longer than the timer's period follow one another at once, as
// live polling does.
TEST(OperationGateTest, TicksLongerThanThePeriodFollowEachOtherBackToBack) {
  ensureQtApplication();
  QtDesktop desktop;
  OperationGate& gate = desktop.gate();
  std::vector<double> starts;
  const Clock::time_point start = Clock::now();
  QTimer timer;
  timer.setInterval(100);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    gate.tick([&] {
      starts.push_back(msSince(start));
      desktop.sleep(130);
    });
  });
  timer.start();
  processEventsUntil([&] { return starts.size() >= 6; }, 3000);
  timer.stop();
  ASSERT_GE(starts.size(), 6u);
  for (std::size_t i = 1; i < starts.size(); ++i) {
    EXPECT_LT(starts[i] - starts[i - 1], 170) << "tick " << i << " waited for the next period";
  }
}

TEST(OperationGateTest, AnOperationAskedForDuringAnotherRunsAfterIt) {
  ensureQtApplication();
  QtDesktop desktop;
  OperationGate& gate = desktop.gate();
  std::vector<int> order;
  gate.run([&] {
    gate.run([&] { order.push_back(2); });
    desktop.sleep(20);
    order.push_back(1);
  });
  processEventsUntil([&] { return order.size() == 2; });
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(OperationGateTest, AWaitForTheLineEndsWhenTheLineIsReadyAndNotBefore) {
  ensureQtApplication();
  QtDesktop desktop;
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  std::thread writer([&] {
    std::this_thread::sleep_for(40ms);
    [[maybe_unused]] const ssize_t n = ::write(fds[1], "x", 1);
  });
  // Events meanwhile do not end the wait early.
  QTimer busy;
  QObject::connect(&busy, &QTimer::timeout, [] {});
  busy.start(1);
  const Clock::time_point start = Clock::now();
  desktop.lineWait()(fds[0], POLLIN, start + 500ms);
  const double waited = msSince(start);
  writer.join();
  EXPECT_GE(waited, 39);
  EXPECT_LT(waited, 400);
  const Clock::time_point again = Clock::now();
  desktop.lineWait()(fds[1], POLLOUT, again + 500ms);  // writable at once
  EXPECT_LT(msSince(again), 100);
  ::close(fds[0]);
  ::close(fds[1]);
}

// The end of a wait is waited for outside the event loop; a wait still ends
// at its deadline and not before, whether it is shorter than that last
// stretch or not, and a line that is ready ends it also in the last stretch.
TEST(OperationGateTest, AWaitEndsAtItsDeadlineAndNotBeforeWhateverItsLength) {
  ensureQtApplication();
  OperationGate gate;
  for (const std::chrono::microseconds length : {200us, 700us, 5000us, 25000us}) {
    const Clock::time_point deadline = Clock::now() + length;
    gate.wait(deadline);
    EXPECT_GE(Clock::now(), deadline) << length.count() << " us";
  }
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ASSERT_EQ(::write(fds[1], "x", 1), 1);
  const Clock::time_point start = Clock::now();
  gate.wait(start + 300us, fds[0], POLLIN);  // shorter than the last stretch
  gate.wait(start + 500ms, fds[0], POLLIN);
  EXPECT_LT(msSince(start), 100) << "the ready line ended both waits";
  ::close(fds[0]);
  ::close(fds[1]);
}

}  // namespace
}  // namespace korvane
