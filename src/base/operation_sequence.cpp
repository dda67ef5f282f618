// One operation at a time, the queued ones in order, the held tick last.
#include "base/operation_sequence.h"

#include <utility>

namespace korvane {

void OperationSequence::run(std::function<void()> operation) {
  if (depth_ > 0) {
    queued_.push_back(std::move(operation));
    return;
  }
  runNow(operation);
}

void OperationSequence::tick(std::function<void()> tick) {
  // Nor does a tick overtake what is already queued: a close requested
  // during the last exchange goes first.
  heldTick_ = std::move(tick);
  scheduleNext();
}

void OperationSequence::runNow(const std::function<void()>& operation) {
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
  };
  {
    Depth depth(depth_);
    operation();
  }
  if (depth_ > 0) return;
  if (hooks_.ended) hooks_.ended();
  scheduleNext();
}

void OperationSequence::scheduleNext() {
  if (scheduled_ || depth_ > 0 || (queued_.empty() && !heldTick_)) return;
  scheduled_ = true;
  hooks_.post();
}

void OperationSequence::resume() {
  scheduled_ = false;
  if (depth_ > 0) return;  // the end of the running operation schedules again
  if (!queued_.empty()) {
    std::function<void()> operation = std::move(queued_.front());
    queued_.pop_front();
    return runNow(operation);
  }
  if (heldTick_) {
    std::function<void()> tick = std::exchange(heldTick_, nullptr);
    runNow(tick);
  }
}

}  // namespace korvane
