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

// How late a thread on one core wakes when a thread on another core writes
// to it, each time after a few milliseconds in which both have slept: a
// wake-up that has to bring a halted core back. What the emulator does for
// every frame the program sends.
struct CrossCoreWakeUps {
  int samples = 0;  // 0 on a machine of one core
  double medianUs = 0;
  double slowestUs = 0;
  int overOneMs = 0;
};
CrossCoreWakeUps crossCoreWakeUps(int samples);

// Keeps this process, and the processes and threads it starts from now on
// (the emulator among them), on the one core it runs on: every wake-up
// between the program and the emulator is then on that core, and none waits
// for another core to come back from a halt, which on a virtual machine can
// take milliseconds. False when the system refuses.
bool keepToOneCore();

// User plus system CPU time of this process (not of its children: the
// emulator is not counted), in milliseconds.
double processCpuMs();

// The largest resident set this process has had, in MiB.
double peakMemoryMiB();

}  // namespace korvane::bench
