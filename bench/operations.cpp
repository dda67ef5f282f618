// Running and checking the timed operations.
#include "operations.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <string>

#include "base/format_float.h"
#include "machine.h"

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

Operations::Operations(Route& route) : route_(route), setFile_(route.program().workDir / "bench.set") {}

void Operations::expectNoMessage(const char* operation) const {
  const std::vector<std::string> shown = route_.messages();
  if (!shown.empty()) throw std::runtime_error(std::string(operation) + ": \"" + shown.back() + "\"");
}

Timed Operations::timeClick(Field& control, const char* operation, const std::function<bool()>& done) {
  const double cpuBefore = processCpuMs();
  const auto took = route_.click(control, done, std::chrono::seconds(60));
  const double cpuMs = processCpuMs() - cpuBefore;
  expectNoMessage(operation);
  if (!took) throw std::runtime_error(std::string(operation) + " did not end");
  return {*took, cpuMs};
}

Timed Operations::connectAndFullRead() {
  Program& p = route_.program();
  TFrm_Mapping& w = p.Frm_Mapping;
  if (w.Halt_Comm.enabled()) timeClick(w.Halt_Comm, "halt");
  // The tick that accepts the configuration reads every cell before it ends.
  const Timed took =
      timeClick(w.Begin_Comm, "connect and full read", [&] { return p.CommState == CommState::Monitoring; });
  if (w.GainCells.back()->colour() != kWhite) throw std::runtime_error("the full read did not complete");
  return took;
}

Timed Operations::uploadAllCells() {
  TFrm_Mapping& w = route_.program().Frm_Mapping;
  // The full read leaves the MAP range marked; only the cells are timed.
  w.Label18.setColour(kWhite);
  ++run_;
  for (std::size_t i = 0; i < w.GainCells.size(); ++i) {
    Field& cell = *w.GainCells[i];
    const long double gain = static_cast<long double>(64 + (i * 3 + static_cast<std::size_t>(run_)) % 128) / 128;
    cell.setText("");
    cell.setText(FormatFloat("#.00", gain, route_.program().decimalSeparator));
  }
  const Timed took = timeClick(w.BitBtn2, "upload");
  for (const auto& cell : w.GainCells) {
    if (cell->marked()) throw std::runtime_error("upload: " + cell->name() + " was not confirmed");
  }
  return took;
}

Timed Operations::save() {
  route_.answerSaveDialog(setFile_.string());
  const Timed took = timeClick(route_.program().Frm_Mapping.Exit1, "save");  // File > Get data from controller
  if (linesIn(setFile_) != 139) throw std::runtime_error("save: the set file does not hold 139 lines");
  return took;
}

Timed Operations::load() {
  route_.answerOpenDialog(setFile_.string());
  TFrm_Mapping& w = route_.program().Frm_Mapping;
  const Timed took = timeClick(w.Putdataincontroller1, "load");
  if (w.stat.text() != "Downloading controller 99.3 %") throw std::runtime_error("load: not every line was sent");
  return took;
}

Monitoring Operations::monitor(std::chrono::seconds span, bool logging) {
  connectAndFullRead();
  TFrm_Mapping& w = route_.program().Frm_Mapping;
  const std::filesystem::path log = route_.program().workDir / "bench.msl";
  if (logging) {
    route_.answerSaveDialog(log.string());
    w.Startlogging1.click();  // Log > Start logging…
  }
  Monitoring m;
  Colour lamp = w.heartbeat.colour();
  const double cpuBefore = processCpuMs();
  const Clock::time_point start = Clock::now();
  route_.tickUntil(
      [&] {
        ++m.polls;
        if (w.heartbeat.colour() != lamp) ++m.answered;
        lamp = w.heartbeat.colour();
        return Clock::now() - start >= span;
      },
      span + std::chrono::seconds(5));
  m.wallMs = msSince(start);
  m.cpuMs = processCpuMs() - cpuBefore;
  expectNoMessage("live monitoring");
  if (logging) {
    w.Stoplogging1.click();
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
