// The gate every call from the window into the program passes: one
// operation at a time (a click, a key, a menu command, a timer tick), and
// waits inside an operation that keep the window alive without letting
// anything else in.
//
// While the program waits for the controller (an exchange's fixed wait, the
// pacing of the cell loops, a serial transfer) the window repaints and
// answers the system, but takes no click, key, menu command or close: the
// user's input stays in the system's queue, and what is posted to the window
// in the user's name (a close, a command) is held, until the operation has
// ended; then all of it is handled in the order it came, by whichever
// message loop runs (the program's, or an open menu's). A timer tick that
// falls due meanwhile is held too (at most one) and runs right after it, so
// live polling stays back to back. No operation ever starts inside another,
// so the frames on the line keep their order and pace.
#pragma once

#include <windows.h>

#include <chrono>
#include <deque>
#include <functional>

#include "base/operation_sequence.h"

namespace korvane::win32 {

// Whether `message`, posted while the program waits for the controller, is
// the user's doing and must wait for the operation's end.
bool isHeldWhileWaiting(const MSG& message);

class OperationGate {
 public:
  using Clock = std::chrono::steady_clock;

  OperationGate();
  ~OperationGate();
  OperationGate(const OperationGate&) = delete;
  OperationGate& operator=(const OperationGate&) = delete;

  // Runs `operation` now when none is in progress; otherwise queues it to
  // run once the one in progress has ended.
  void run(std::function<void()> operation);

  // A tick of the timer: runs from the message loop when nothing is in
  // progress, otherwise is held, at most one, until the operation has ended.
  void tick(std::function<void()> tick);

  // Starts the timer whose ticks go through tick(): every `intervalMs` from
  // now on, for as long as the gate lives.
  void startTimer(unsigned intervalMs, std::function<void()> onTick);

  // Waits until `deadline`, or until `event` (when given) is signalled,
  // serving the window meanwhile: paints and the system's messages are
  // handled, the user's input is held.
  void wait(Clock::time_point deadline, HANDLE event = nullptr);

  // Holds a message that came in outside a wait but inside an operation
  // (a close while a message box of the operation is open); it is handed
  // back with the rest.
  void hold(const MSG& message);

  bool inOperation() const { return sequence_.inOperation(); }
  bool waiting() const { return waiting_; }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void pumpMessages();
  void scheduleNext();
  void releaseHeldInput();

  HWND window_ = nullptr;  // message-only: the gate's own posts and timer
  HANDLE timer_ = nullptr;
  // The order of operations and ticks, carried out on the message loop.
  OperationSequence sequence_;
  bool waiting_ = false;
  std::function<void()> onTick_;
  std::deque<MSG> heldInput_;
};

}  // namespace korvane::win32
