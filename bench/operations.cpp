// Running and checking the timed operations.
#include "operations.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>

#include "base/format_float.h"
#include "comm/comm_control.h"
#include "comm/upload.h"
#include "machine.h"
#include "setfile/set_file_transfer.h"

namespace korvane::bench {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::size_t linesIn(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::size_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

}  // namespace

Operations::Operations(testing::SimSession& session) : s_(session), setFile_(session.dir.path() / "bench.set") {}

void Operations::expectNoMessage(const char* operation) const {
  if (!s_.desktop.messages.empty()) {
    throw std::runtime_error(std::string(operation) + ": \"" + s_.desktop.messages.back().text + "\"");
  }
}

double Operations::connectAndFullRead() {
  Program& p = s_.program();
  if (p.ControllerPort.IsOpen) Halt_CommClick(p);
  s_.timer.restart();
  const Clock::time_point start = Clock::now();
  Begin_CommClick(p);
  // The tick that accepts the configuration reads every cell before it ends.
  const bool read = s_.tickUntil([&] { return p.CommState == CommState::Monitoring; }, std::chrono::seconds(30));
  const double took = msSince(start);
  expectNoMessage("connect and full read");
  if (!read || s_.w().GainCells.back()->colour() != kWhite) throw std::runtime_error("the full read did not complete");
  return took;
}

double Operations::uploadAllCells() {
  TFrm_Mapping& w = s_.w();
  // The full read leaves the MAP range marked; only the cells are timed.
  w.Label18.setColour(kWhite);
  ++run_;
  for (std::size_t i = 0; i < w.GainCells.size(); ++i) {
    Field& cell = *w.GainCells[i];
    const long double gain = static_cast<long double>(64 + (i * 3 + static_cast<std::size_t>(run_)) % 128) / 128;
    cell.setText("");
    cell.setText(FormatFloat("#.00", gain, s_.program().decimalSeparator));
  }
  const Clock::time_point start = Clock::now();
  Button1Click(s_.program());
  const double took = msSince(start);
  expectNoMessage("upload");
  for (const auto& cell : w.GainCells) {
    if (cell->marked()) throw std::runtime_error("upload: " + cell->name() + " was not confirmed");
  }
  return took;
}

double Operations::save() {
  s_.desktop.saveAnswers.push_back(setFile_.string());
  const Clock::time_point start = Clock::now();
  GetDataFromController(s_.program());
  const double took = msSince(start);
  expectNoMessage("save");
  if (linesIn(setFile_) != 139) throw std::runtime_error("save: the set file does not hold 139 lines");
  return took;
}

double Operations::load() {
  s_.desktop.openAnswers.push_back(setFile_.string());
  const Clock::time_point start = Clock::now();
  Putdataincontroller1Click(s_.program());
  const double took = msSince(start);
  expectNoMessage("load");
  if (s_.w().stat.text() != "Downloading controller 99.3 %") throw std::runtime_error("load: not every line was sent");
  return took;
}

Monitoring Operations::monitor(std::chrono::seconds span, bool logging) {
  connectAndFullRead();
  const std::filesystem::path log = s_.dir.path() / "bench.msl";
  if (logging) {
    s_.desktop.saveAnswers.push_back(log.string());
    s_.w().Startlogging1.click();  // Log > Start logging…
  }
  Monitoring m;
  Colour lamp = s_.w().heartbeat.colour();
  const double cpuBefore = processCpuMs();
  const Clock::time_point start = Clock::now();
  // Asked before every tick: first about the tick before it.
  s_.tickUntil(
      [&] {
        if (m.polls > 0 && s_.w().heartbeat.colour() != lamp) ++m.answered;
        lamp = s_.w().heartbeat.colour();
        if (Clock::now() - start >= span) return true;
        ++m.polls;
        return false;
      },
      span + std::chrono::seconds(5));
  m.wallMs = msSince(start);
  m.cpuMs = processCpuMs() - cpuBefore;
  expectNoMessage("live monitoring");
  if (logging) {
    s_.w().Stoplogging1.click();
    m.logRows = static_cast<int>(linesIn(log)) - 4;  // after the header
    if (m.logRows < m.answered - 1) throw std::runtime_error("live monitoring: the log lacks rows");
  }
  return m;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double spread(const std::vector<double>& values) {
  if (values.empty()) return 0;
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  return *high - *low;
}

}  // namespace korvane::bench
