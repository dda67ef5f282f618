// The data log: its rows, its file and the Log menu.
#include "datalog/data_log.h"

#include <ctime>
#include <memory>
#include <string>

#include "base/home_folder.h"
#include "base/local_time.h"
#include "datalog/log_format.h"

namespace korvane {
namespace {

constexpr const char* kCaption = "ERROR";

}  // namespace

DataLog::DataLog(Program& program) : program_(program) {}

DataLog::~DataLog() {
  // The window may be going too: nothing is shown from here.
  if (logging()) file_.write();
}

std::filesystem::path DataLog::proposedPath() const {
  const std::filesystem::path folder = lastFolder_.empty() ? homeFolder() : lastFolder_;
  return folder / logFileName(localTimeNow());
}

void DataLog::start(const std::filesystem::path& path) {
  if (logging()) return;
  if (const auto error = file_.open(path)) {
    program_.desktop.messageBox("The log " + path.string() + " could not be created (" + *error + ").", kCaption);
    return;
  }
  path_ = path;
  lastFolder_ = std::filesystem::absolute(path).parent_path();
  markers_ = 0;
  startMs_ = program_.desktop.nowMs();
  const TFrm_Mapping& w = program_.Frm_Mapping;
  file_.hold(logHeader(w.SW_Rev.text(), w.FW_Rev.text(), localTimeNow()), startMs_);
  showState();
  // A log that cannot take its header is better known now than at the first row.
  writeHeld();
}

void DataLog::mark() {
  if (!logging()) return;
  file_.hold(markerLine(++markers_), program_.desktop.nowMs());
}

void DataLog::stop() {
  if (!logging()) return;
  writeHeld();
  file_.close();
  showState();
}

void DataLog::liveData(const LiveSample& sample) {
  if (!logging()) return;
  const long long now = program_.desktop.nowMs();
  const auto& cells = program_.Frm_Mapping.GainCells;
  std::string gain;
  if (sample.cell >= 0 && static_cast<std::size_t>(sample.cell) < cells.size()) {
    gain = gainForLog(cells[static_cast<std::size_t>(sample.cell)]->text(), program_.decimalSeparator);
  }
  file_.hold(logRow(now - startMs_, sample, gain), now);
  if (file_.due(now)) writeHeld();
}

void DataLog::timerTick() {
  // Rows that stopped coming (a silent controller) still reach the file.
  if (logging() && file_.due(program_.desktop.nowMs())) writeHeld();
}

void DataLog::communicationStopped() {
  if (logging()) writeHeld();
}

void DataLog::programEnding() {
  if (!logging()) return;
  file_.write();  // nobody is left to tell when it fails
  file_.close();
  showState();
}

void DataLog::writeHeld() {
  const auto error = file_.write();
  if (!error) return;
  // Stopped before the message, so that the ticks inside its box write
  // nothing more.
  file_.close();
  showState();
  program_.desktop.messageBox("The log " + path_.string() + " could not be written (" + *error +
                                  "). Logging has stopped; the rows written before are in the file.",
                              kCaption);
}

void DataLog::showState() {
  TFrm_Mapping& w = program_.Frm_Mapping;
  const bool on = logging();
  w.Startlogging1.setChecked(on);
  w.Startlogging1.setEnabled(!on);
  w.Mark1.setEnabled(on);
  w.Stoplogging1.setEnabled(on);
}

void Startlogging1Click(Program& program, DataLog& log) {
  if (log.logging()) return;
  const auto name = program.desktop.saveFileDialog(log.proposedPath().string(), "msl");
  if (name) log.start(*name);
}

void Mark1Click(DataLog& log) { log.mark(); }
void Stoplogging1Click(DataLog& log) { log.stop(); }

void attachDataLog(Program& program) {
  auto log = std::make_unique<DataLog>(program);
  DataLog* l = log.get();
  program.liveDataSink = std::move(log);
  Program* p = &program;
  TFrm_Mapping& w = program.Frm_Mapping;
  w.Startlogging1.onClick = [p, l] { Startlogging1Click(*p, *l); };
  w.Mark1.onClick = [l] { Mark1Click(*l); };
  w.Stoplogging1.onClick = [l] { Stoplogging1Click(*l); };
}

}  // namespace korvane
