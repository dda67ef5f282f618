// Waits that end on time. The program's pace is its waits (the fixed ones of
// every exchange and the read time-outs, several per gain cell), so each
// wake-up that comes late adds up over an operation. Two things make a long
// wait end late: a thread that has slept long is woken later than one that
// has slept briefly (on a virtual machine a median 0.11 ms after 25 ms and
// 0.14 ms after 125 ms, against 0.05 ms after 5 ms), and poll() may wake as
// much as a thousandth of its time-out late whatever the timer slack. So a
// long wait sleeps until shortly before its deadline and then waits the last
// stretch on its own, which ends within the short sleep's latency.
#pragma once

#include <chrono>

namespace korvane {

// The end of every long wait, waited for on its own. Long enough also for
// the window's event loop, which comes back later than the kernel after a
// wait it runs (its own dispatch after the wake-up): it is woken this much
// early, which covers how late it is in nine waits of ten here, and nobody
// sees the window pause for it.
inline constexpr std::chrono::microseconds kLastStretch{500};

// Blocks until the monotonic clock reaches `deadline` (at once when it has).
// A signal does not end it early.
void sleepUntil(std::chrono::steady_clock::time_point deadline);

}  // namespace korvane
