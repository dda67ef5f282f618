// The real-time session with korvane-sim, its timer and its watchdog.
#include "support/sim_session.h"

#include <signal.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "app/startup.h"
#include "base/precise_wait.h"
#include "comm/comm_control.h"
#include "serial/serial_backend_posix.h"

namespace korvane::testing {
namespace {

using namespace std::chrono_literals;

// The bytes after `marker` and the quoted letter in a verbose line of
// korvane-sim, e.g. "korvane-sim: 1.234 <- 'R' 02 06 52 00 00 00".
std::optional<Bytes> framedBytes(const std::string& line, const std::string& marker) {
  const auto at = line.find(marker);
  if (at == std::string::npos) return std::nullopt;
  std::istringstream hex(line.substr(at + marker.size() + 2));  // past the letter and its closing quote
  Bytes bytes;
  for (unsigned value; hex >> std::hex >> value;) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

}  // namespace

PollingTimer::PollingTimer(Clock::duration interval) : interval_(interval) { restart(); }

void PollingTimer::restart() { due_ = Clock::now() + interval_; }

void PollingTimer::fire(const std::function<void()>& tick) {
  sleepUntil(due_);
  const Clock::time_point fired = Clock::now();
  due_ += interval_;
  if (due_ < fired) due_ = fired + interval_;
  tick();
}

// Ends the process when the session is not over within its budget. It stops
// the emulator first, which would otherwise outlive the test.
class SimLine::Watchdog {
 public:
  Watchdog(std::chrono::seconds budget, const std::atomic<pid_t>& emulator)
      : thread_([this, budget, &emulator] {
          std::unique_lock lock(mutex_);
          if (ended_.wait_for(lock, budget, [this] { return over_; })) return;
          std::fprintf(stderr, "e2e session still running after %lld s: a handler hangs\n",
                       static_cast<long long>(budget.count()));
          if (const pid_t pid = emulator.load(); pid > 0) ::kill(pid, SIGTERM);
          std::_Exit(3);
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      over_ = true;
    }
    ended_.notify_one();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable ended_;
  bool over_ = false;
  std::thread thread_;  // last: it starts once the rest is ready
};

SimLine::SimLine(const std::string& simBinary, std::vector<std::string> simArgs, bool verbose,
                 std::chrono::seconds budget)
    : verbose_(verbose) {
  simArgs.insert(simArgs.begin(), {"--link", (dir.path() / "Com1").string()});
  if (verbose) simArgs.insert(simArgs.begin(), "--verbose");
  sim_ = std::make_unique<SimProcess>(simBinary, simArgs);
  emulator_ = sim_->pid();
  watchdog_ = std::make_unique<Watchdog>(budget, emulator_);
  std::ofstream(dir.path() / "comm.ini") << "1\n";
}

// The watchdog goes first: stopping the emulator is bounded by itself.
SimLine::~SimLine() { watchdog_.reset(); }

SimSession::SimSession(const std::string& simBinary, std::vector<std::string> simArgs, bool verbose,
                       std::chrono::seconds budget)
    : SimLine(simBinary, std::move(simArgs), verbose, budget) {
  const std::filesystem::path workDir = dir.path();
  program_ = std::make_unique<Program>(
      desktop, [workDir] { return makePosixSerialBackend(workDir); }, workDir);
  FormCreate(*program_);
  if (program_->SelectedPort != 1) throw std::runtime_error("comm.ini did not choose port 1");
}

bool SimSession::tickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    timer.fire([this] { get_data_timerTimer(*program_); });
    if (verbose()) report();  // keeps the emulator's output pipe from filling up
  }
  return true;
}

void SimSession::tickFor(std::chrono::milliseconds span) {
  tickUntil([] { return false; }, span);
}

const SimReport& SimLine::report(std::chrono::milliseconds quiet) {
  for (std::string line; !(line = sim_->nextLine(quiet + 1ms)).empty();) take(line);
  return report_;
}

void SimLine::take(const std::string& line) {
  if (auto bytes = framedBytes(line, " <- '")) {
    report_.acted.push_back(*bytes);
  } else if (auto ignored = framedBytes(line, " ignored '")) {
    report_.ignored.push_back(*ignored);
  } else if (const auto at = line.find(" discarded "); at != std::string::npos) {
    report_.discardedBytes += std::stoul(line.substr(at + 11));
  } else if (line.find("line dropped after") != std::string::npos) {
    report_.lineDropped = true;
  }
}

bool SimLine::waitForDrop(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!report_.lineDropped && std::chrono::steady_clock::now() < deadline) report(10ms);
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  if (!report_.lineDropped) return false;
  const int status = sim_->waitForExit(std::max(left, 1ms));
  if (sim_->pid() < 0) emulator_ = -1;
  return status == 0;
}

}  // namespace korvane::testing
