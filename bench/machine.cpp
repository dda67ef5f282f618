// The machine and this process's use of it, from /proc and getrusage().
#include "machine.h"

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "base/precise_wait_posix.h"

namespace korvane::bench {
namespace {

double milliseconds(const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; }

rusage ownUsage() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage;
}

}  // namespace

std::string machineDescription() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string model = "unknown processor";
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.rfind("model name", 0) == 0 && line.find(':') != std::string::npos) {
      model = line.substr(line.find(':') + 2);
      break;
    }
  }
  return model + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores";
}

std::string loadAverages() {
  std::ifstream file("/proc/loadavg");
  std::string one, five, fifteen;
  file >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

double wakeUpLatencyUs(int samples) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> late;
  for (int i = 0; i < samples; ++i) {
    // 5 ms, the read interval, the shortest of the program's waits.
    // One plain sleep, not the program's split one: this is the machine's
    // own latency. A signal ends it early; the deadline is absolute, so
    // sleep on.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(5);
    const timespec at = toTimespec(deadline);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
    late.push_back(std::chrono::duration<double, std::micro>(Clock::now() - deadline).count());
  }
  if (late.empty()) return 0;
  std::nth_element(late.begin(), late.begin() + static_cast<std::ptrdiff_t>(late.size() / 2), late.end());
  return late[late.size() / 2];
}

double processCpuMs() {
  const rusage usage = ownUsage();
  return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
}

double peakMemoryMiB() { return static_cast<double>(ownUsage().ru_maxrss) / 1024.0; }  // ru_maxrss is in KiB

}  // namespace korvane::bench
