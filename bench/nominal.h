// The time an operation takes by the protocol alone: the fixed waits it
// prescribes, the read time-outs its reads run into, and the bytes on the
// wire at 19200 baud where they do not already pass during a wait. Anything
// an operation takes beyond this is the program's own overhead.
#pragma once

#include <string>
#include <vector>

namespace korvane::bench {

// One byte on the line: a start bit, eight data bits and a stop bit.
constexpr double kByteMs = 10.0 * 1000.0 / 19200.0;

class NominalTime {
 public:
  // A wait of the program's own: the 200 ms before an upload, or the time
  // until the timer's first tick.
  void wait(double ms);

  // The standard exchange, answered by a reply of `replyBytes`: the frame,
  // 125 ms, and a read that finds the reply waiting and returns once the
  // line has been quiet for the 5 ms read interval.
  void exchange(int replyBytes);

  // A gain cell requested with a raw frame: 25 ms, then a read as above of
  // its 6-byte reply.
  void cellRead();

  // A gain cell written from a set file: 20 ms, then a read as above of its
  // 6-byte echo.
  void gainWrite();

  // A read that gets nothing: it gives up at its total time-out, 5 ms plus
  // 1 ms per byte asked for (100 for a reply, 1 for the drain of Open).
  void emptyRead(int bytesAsked);

  double waitsMs() const { return waitsMs_; }
  double readTimeoutsMs() const { return readTimeoutsMs_; }
  double wireMs() const { return wireMs_; }
  // The wire time that a wait does not cover: the read then waits for the
  // last bytes of the reply.
  double wireOutsideWaitsMs() const { return wireOutsideMs_; }
  double totalMs() const { return waitsMs_ + readTimeoutsMs_ + wireOutsideMs_; }
  // How many times the program blocks until a deadline: each fixed wait,
  // and each read that ends at a time-out (the quiet interval after a reply
  // or the total time-out of a read that gets nothing). Each of them ends as
  // late as the machine wakes a sleeping thread, which the nominal leaves out.
  int blockingWaits() const { return blockingWaits_; }

 private:
  void frameAndReply(double waitMs, int replyBytes);

  double waitsMs_ = 0;
  double readTimeoutsMs_ = 0;
  double wireMs_ = 0;
  double wireOutsideMs_ = 0;
  int blockingWaits_ = 0;
};

// The four timed operations, step by step as the program runs them.

// Begin_Comm, the timer's first tick 100 ms later with the answered identify
// poll, then at once the next tick with the full read: the configuration and
// 128 cells.
NominalTime connectAndFullRead();

// The 200 ms before the first command, then 128 answered 'e' exchanges.
NominalTime uploadOfAllCells();

// The port reopened (its drain reads once and gets nothing), the
// configuration exchange and the extra read after it, which gets nothing,
// then 128 cells.
NominalTime saveToSetFile();

// The port reopened, the eleven parameter exchanges of a saved file, then
// 128 gain writes, each with its echo read.
NominalTime loadOfSetFile();

}  // namespace korvane::bench
