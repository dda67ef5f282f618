// The machine and this process's use of it, from /proc and getrusage().
#include "machine.h"

#include <sys/resource.h>

#include <fstream>
#include <thread>

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

double processCpuMs() {
  const rusage usage = ownUsage();
  return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
}

double peakMemoryMiB() { return static_cast<double>(ownUsage().ru_maxrss) / 1024.0; }  // ru_maxrss is in KiB

}  // namespace korvane::bench
