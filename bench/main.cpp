// korvane-bench: times the program's long operations against korvane-sim
// over a real pseudo-terminal, headless or through the real window, and sets
// each against the time the protocol itself prescribes; then measures the
// CPU time of live monitoring and the peak memory. Run it by hand on a quiet
// machine; it is no test.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/timer_slack.h"
#include "machine.h"
#include "nominal.h"
#include "operations.h"
#include "route.h"

namespace korvane::bench {
namespace {

using namespace std::chrono_literals;

// Every operation within this share of its nominal time; the window may add
// a little for drawing what changes.
constexpr double kHeadlessTolerance = 0.01;
constexpr double kWindowTolerance = 0.015;
constexpr double kMonitorCpuShare = 0.02;  // live monitoring under 2 % of one core
constexpr double kLogPaceShare = 0.005;    // the data log slows live polling by less than 0.5 %
constexpr double kPeakMemoryMiB = 80;

struct Settings {
  std::string sim = KORVANE_SIM_PATH;
  int runs = 3;
  int monitorSeconds = 30;
  bool window = false;
  bool log = false;
  bool oneCore = false;
};

constexpr const char* kUsage =
    "Usage: korvane-bench [--window] [--runs N] [--monitor SECONDS] [--log] [--one-core] [--sim PATH]\n"
    "Times connecting with the full read, an upload of all 128 cells, a save and a\n"
    "load against korvane-sim on a pseudo-terminal (median of N runs, default 3),\n"
    "then live monitoring for SECONDS (default 30) for its CPU time. Headless, or\n"
    "with --window through the real main window, drawn on Qt's offscreen platform\n"
    "unless QT_QPA_PLATFORM names another. With --log, the monitoring runs once\n"
    "more with the data log on, for the pace it costs. With --one-core, the bench\n"
    "and the emulator keep to one core, so that no wake-up between them waits for\n"
    "another core to come back from a halt: on a virtual machine that can take\n"
    "milliseconds, and the emulator is woken at every frame.\n";

int positive(std::string_view text, const char* what) {
  const int value = std::atoi(std::string(text).c_str());
  if (value <= 0) throw std::invalid_argument(std::string(what) + " needs a whole number above 0");
  return value;
}

Settings parseSettings(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help") throw std::invalid_argument("");
    if (arg == "--window" || arg == "--log" || arg == "--one-core") {
      (arg == "--window" ? settings.window : arg == "--log" ? settings.log : settings.oneCore) = true;
      continue;
    }
    if (i + 1 >= argc) throw std::invalid_argument(std::string(arg) + " needs a value");
    const std::string_view value = argv[++i];
    if (arg == "--runs") {
      settings.runs = positive(value, "--runs");
    } else if (arg == "--monitor") {
      settings.monitorSeconds = positive(value, "--monitor");
    } else if (arg == "--sim") {
      settings.sim = value;
    } else {
      throw std::invalid_argument("unknown option " + std::string(arg));
    }
  }
  return settings;
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

struct Row {
  const char* name;
  NominalTime nominal;
  std::vector<double> measuredMs;
  std::vector<double> cpuMs;

  void add(const Timed& t) {
    measuredMs.push_back(t.wallMs);
    cpuMs.push_back(t.cpuMs);
  }
};

// Prints one operation; whether it kept within `tolerance` of its nominal time.
bool printRow(const Row& row, double tolerance) {
  const double measured = median(row.measuredMs);
  const double ratio = measured / row.nominal.totalMs();
  const bool met = ratio <= 1 + tolerance && ratio >= 1 - tolerance;
  std::printf("  %-24s %10.1f ms %10.1f ms %7.4f   %6.1f ms %8.1f ms   %s\n", row.name, measured, row.nominal.totalMs(),
              ratio, spread(row.measuredMs), median(row.cpuMs), verdict(met));
  return met;
}

void printNominal(const Row& row) {
  const NominalTime& t = row.nominal;
  std::printf(
      "  %-24s waits %7.1f + read time-outs %6.1f + wire outside waits %4.1f = %7.1f ms"
      " (wire in all %6.1f ms)\n",
      row.name, t.waitsMs(), t.readTimeoutsMs(), t.wireOutsideWaitsMs(), t.totalMs(), t.wireMs());
}

// The part of each operation's overshoot that is the machine's and not the
// program's: every blocking wait ends as late as the machine wakes a thread.
void printWakeUpShare(const std::vector<Row>& rows) {
  const double latencyUs = wakeUpLatencyUs(200);
  std::printf(
      "\nwaking from a sleep: %.0f us late (median of 200 sleeps of 5 ms); at that, each operation's\n"
      "blocking waits alone take it past its nominal time by:\n",
      latencyUs);
  for (const Row& row : rows) {
    const int waits = row.nominal.blockingWaits();
    const double lateMs = waits * latencyUs / 1000;
    std::printf("  %-24s %4d waits  %5.1f ms  (ratio %.4f)\n", row.name, waits, lateMs,
                (row.nominal.totalMs() + lateMs) / row.nominal.totalMs());
  }
  const CrossCoreWakeUps other = crossCoreWakeUps(200);
  if (other.samples == 0) return;
  std::printf(
      "waking a thread on another core after 5 ms asleep: %.0f us late (median of %d), %d of them over 1 ms,"
      " the slowest %.1f ms\n",
      other.medianUs, other.samples, other.overOneMs, other.slowestUs / 1000);
}

bool run(const Settings& settings, char** argv) {
  // Before the route starts the emulator, which keeps to the same core.
  if (settings.oneCore && !keepToOneCore()) throw std::runtime_error("--one-core: cannot keep to one core");
  const auto budget = std::chrono::seconds(120 + 60 * settings.runs + 2 * settings.monitorSeconds);
  const std::unique_ptr<Route> route =
      settings.window ? makeWindowRoute(settings.sim, budget, argv) : makeHeadlessRoute(settings.sim, budget);
  const double tolerance = settings.window ? kWindowTolerance : kHeadlessTolerance;
  std::printf("korvane-bench: korvane-sim on a pseudo-terminal, %s, %d run(s), median wall time%s\n",
              route->description().c_str(), settings.runs, settings.oneCore ? ", on one core" : "");
  std::printf("machine: %s; load average %s at the start\n\n", machineDescription().c_str(), loadAverages().c_str());
  Operations ops(*route);

  std::vector<Row> rows{{"connect and full read", connectAndFullRead(), {}, {}},
                        {"upload of 128 cells", uploadOfAllCells(), {}, {}},
                        {"save to a set file", saveToSetFile(), {}, {}},
                        {"load of a set file", loadOfSetFile(), {}, {}}};
  for (int r = 0; r < settings.runs; ++r) {
    rows[0].add(ops.connectAndFullRead());
    rows[1].add(ops.uploadAllCells());
    rows[2].add(ops.save());
    rows[3].add(ops.load());
  }
  std::printf("  %-24s %13s %13s %7s %11s %11s   within %.1f %%\n", "operation", "measured", "nominal", "ratio",
              "spread", "CPU", tolerance * 100);
  bool met = true;
  for (const Row& row : rows) met = printRow(row, tolerance) && met;
  std::printf("\nnominal time, counted step by step as the program runs the protocol:\n");
  for (const Row& row : rows) printNominal(row);
  printWakeUpShare(rows);

  const Monitoring m = ops.monitor(std::chrono::seconds(settings.monitorSeconds));
  const double share = m.cpuMs / m.wallMs;
  std::printf(
      "\nlive monitoring: %.1f s, %d polls, %d answered, %.3f ms per poll: CPU %.0f ms per minute = %.2f %% of one"
      " core (under %.0f %%: %s)\n",
      m.wallMs / 1000, m.polls, m.answered, m.msPerPoll(), share * 60'000, share * 100, kMonitorCpuShare * 100,
      verdict(share < kMonitorCpuShare));
  bool paceKept = true;
  if (settings.log) {
    std::printf("load average %s before monitoring with the data log\n", loadAverages().c_str());
    const Monitoring logged = ops.monitor(std::chrono::seconds(settings.monitorSeconds), true);
    const double slower = logged.msPerPoll() / m.msPerPoll() - 1;
    paceKept = slower < kLogPaceShare;
    std::printf(
        "live monitoring with the data log: %.1f s, %d polls, %d answered, %d rows, %.3f ms per poll (%+.3f %%,"
        " under %.1f %%: %s): CPU %.0f ms per minute\n",
        logged.wallMs / 1000, logged.polls, logged.answered, logged.logRows, logged.msPerPoll(), slower * 100,
        kLogPaceShare * 100, verdict(paceKept), logged.cpuMs / logged.wallMs * 60'000);
  }
  const double peak = peakMemoryMiB();
  std::printf("peak memory: %.1f MiB (under %.0f MiB: %s)\n", peak, kPeakMemoryMiB, verdict(peak < kPeakMemoryMiB));
  std::printf("load average %s at the end\n", loadAverages().c_str());
  return met && share < kMonitorCpuShare && paceKept && peak < kPeakMemoryMiB;
}

}  // namespace
}  // namespace korvane::bench

int main(int argc, char** argv) {
  using namespace korvane::bench;
  // As the program does at its start, before any thread is made.
  korvane::useFinestTimerSlack();
  Settings settings;
  try {
    settings = parseSettings(argc, argv);
  } catch (const std::invalid_argument& e) {
    if (*e.what()) std::fprintf(stderr, "korvane-bench: %s\n", e.what());
    std::fputs(kUsage, *e.what() ? stderr : stdout);
    return *e.what() ? 2 : 0;
  }
  try {
    return run(settings, argv) ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "korvane-bench: %s\n", e.what());
    return 2;
  }
}
