// How late the kernel may wake this process from a wait. The program's
// pace is its waits: the fixed waits of every exchange and the read
// time-outs, several of them per gain cell, so every microsecond a wake-up
// is deferred adds up over an operation.
#pragma once

namespace korvane {

// Asks the kernel to wake the calling thread as close to each deadline as it
// can (a timer slack of 1 ns instead of the default 50 us) and returns
// whether it agreed. Threads started afterwards inherit the setting, so it
// belongs at the very start of the program. A refusal costs only precision.
bool useFinestTimerSlack();

}  // namespace korvane
