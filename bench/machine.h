// What the benchmark reports about the machine it ran on and about its own
// use of it.
#pragma once

#include <string>

namespace korvane::bench {

// "AMD EPYC, 2 cores" from /proc/cpuinfo, or what can be found.
std::string machineDescription();

// The three load averages from /proc/loadavg, e.g. "1.35 1.77 2.33".
std::string loadAverages();

// How late this thread wakes from a sleep until a deadline a few
// milliseconds ahead, the median of `samples` sleeps, in microseconds.
double wakeUpLatencyUs(int samples);

// User plus system CPU time of this process (not of its children: the
// emulator is not counted), in milliseconds.
double processCpuMs();

// The largest resident set this process has had, in MiB.
double peakMemoryMiB();

}  // namespace korvane::bench
