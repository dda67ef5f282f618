// The order every call from a window system into the program keeps, in any
// binding: one operation at a time (a click, a key, a menu command, a timer
// tick); an operation asked for during another runs once it has ended; a
// tick that falls due meanwhile is held, at most one, and runs after what
// was queued. Nothing ever starts inside another operation, so the frames on
// the line keep their order and pace.
//
// The binding says how to come back from its event loop and what to do at
// the end of an operation; the order itself is kept here, once for all of
// them.
#pragma once

#include <deque>
#include <functional>

namespace korvane {

class OperationSequence {
 public:
  struct Hooks {
    // Makes the event loop call resume() soon, from the loop itself.
    std::function<void()> post;
    // The outermost operation has just ended: input held meanwhile goes
    // back to the event loop, ahead of whatever runs next.
    std::function<void()> ended;
  };

  explicit OperationSequence(Hooks hooks) : hooks_(std::move(hooks)) {}

  // Runs `operation` now when none is in progress; otherwise queues it.
  void run(std::function<void()> operation);

  // Holds `tick`, replacing one already held, and has it run from the event
  // loop once nothing is in progress and nothing is queued. A tick never
  // runs inside the timer's own callback: a timer does not fire again while
  // that is still being handled, so a tick due meanwhile would be lost.
  void tick(std::function<void()> tick);

  // What `post` comes back to: runs the next queued operation, or else the
  // held tick.
  void resume();

  bool inOperation() const { return depth_ > 0; }

 private:
  void runNow(const std::function<void()>& operation);
  void scheduleNext();

  Hooks hooks_;
  int depth_ = 0;
  bool scheduled_ = false;
  std::deque<std::function<void()>> queued_;
  std::function<void()> heldTick_;
};

}  // namespace korvane
