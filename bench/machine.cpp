// The machine and this process's use of it, from /proc and getrusage().
#include "machine.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "base/precise_wait_posix.h"
#include "operations.h"

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
  return median(late);
}

CrossCoreWakeUps crossCoreWakeUps(int samples) {
  using Clock = std::chrono::steady_clock;
  CrossCoreWakeUps result;
  const unsigned cores = std::thread::hardware_concurrency();
  int line[2];
  if (cores < 2 || ::pipe(line) != 0) return result;
  bool pinned = true;
  const auto pin = [&pinned](std::thread& thread, unsigned core) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(core, &set);
    pinned = ::pthread_setaffinity_np(thread.native_handle(), sizeof set, &set) == 0 && pinned;
  };
  std::vector<double> late;
  std::thread reader([&] {
    Clock::rep sent = 0;
    while (::read(line[0], &sent, sizeof sent) == sizeof sent && sent != 0) {
      late.push_back(
          std::chrono::duration<double, std::micro>(Clock::now() - Clock::time_point(Clock::duration(sent))).count());
    }
  });
  std::thread writer([&] {
    for (int i = 0; i < samples; ++i) {
      // 5 ms idle, about what the emulator has between two cell requests.
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      const Clock::rep now = Clock::now().time_since_epoch().count();
      if (::write(line[1], &now, sizeof now) != sizeof now) break;
    }
    const Clock::rep end = 0;
    (void)!::write(line[1], &end, sizeof end);
  });
  pin(reader, 1);
  pin(writer, 0);
  writer.join();
  reader.join();
  ::close(line[0]);
  ::close(line[1]);
  // A thread the system would not put on its core may have shared one.
  if (late.empty() || !pinned) return result;
  result.samples = static_cast<int>(late.size());
  result.slowestUs = *std::max_element(late.begin(), late.end());
  result.overOneMs = static_cast<int>(std::count_if(late.begin(), late.end(), [](double us) { return us > 1000; }));
  result.medianUs = median(late);
  return result;
}

bool keepToOneCore() {
  const int core = ::sched_getcpu();
  if (core < 0) return false;
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(core, &set);
  return ::sched_setaffinity(0, sizeof set, &set) == 0;
}

double processCpuMs() {
  const rusage usage = ownUsage();
  return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
}

double peakMemoryMiB() { return static_cast<double>(ownUsage().ru_maxrss) / 1024.0; }  // ru_maxrss is in KiB

}  // namespace korvane::bench
