// The gate every call from Qt into the program passes: one operation at a
// time (a click, a key, a menu command, a timer tick), and waits inside an
// operation that keep the window alive without letting anything else in.
//
// While the program waits for the controller (an exchange's fixed wait, the
// pacing of the cell loops, a read time-out) the window repaints, answers
// the window manager and answers accessibility requests, but takes no
// click, key, menu command or close: those are held and delivered, in the
// order they came, once the operation has ended. A timer tick that falls
// due meanwhile is held too (at most one) and runs right after it, so live
// polling stays back to back. No operation ever starts inside another, so
// the frames on the line keep their order and pace.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <chrono>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "base/operation_sequence.h"

class QEventLoop;

namespace korvane {

class OperationGate : public QObject {
 public:
  using Clock = std::chrono::steady_clock;

  // Watches the whole application's input; create it once the application
  // exists.
  OperationGate();
  ~OperationGate() override;
  OperationGate(const OperationGate&) = delete;
  OperationGate& operator=(const OperationGate&) = delete;

  // Runs `operation` now when none is in progress; otherwise queues it to
  // run once the one in progress has ended.
  void run(std::function<void()> operation);

  // A tick of the 100 ms timer: runs now when nothing is in progress,
  // otherwise is held, at most one, until the operation has ended.
  void tick(std::function<void()> tick);

  // Waits until `deadline`, or until `fd` (when not -1) may be ready for
  // `events` (poll() flags), keeping the window alive meanwhile.
  void wait(Clock::time_point deadline, int fd = -1, short events = 0);

  // What brings the window up to the program's model once it is about to
  // handle events again inside an operation, or the operation has ended:
  // the start of each wait, a box or dialog the operation opens, and its
  // end, before the input held meanwhile goes back. Between two waits the
  // program is on its way from a reply to the next frame, and the widgets'
  // work would lengthen every step of a cell loop.
  void setCatchUp(std::function<void()> catchUp) { catchUp_ = std::move(catchUp); }
  void catchUp() const {
    if (catchUp_) catchUp_();
  }

  bool inOperation() const { return sequence_.inOperation(); }
  bool waiting() const { return waiting_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs the event loop until `wakeAt`, or until `fd` (when not -1) may be
  // ready; whether it was the line that ended it.
  bool runEventLoopUntil(Clock::time_point wakeAt, int fd, short events);
  void releaseHeldInput();

  // The order of operations and ticks; the gate carries it out on Qt's
  // event loop.
  OperationSequence sequence_;
  bool waiting_ = false;
  std::function<void()> catchUp_;
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> heldInput_;

  // A timer on the monotonic clock with an absolute deadline, so that a
  // wait ends on time to the microsecond, whatever the toolkit's own timers
  // round to.
  int timerFd_ = -1;
  std::unique_ptr<QSocketNotifier> timerNotifier_;
  QEventLoop* loop_ = nullptr;
};

}  // namespace korvane
