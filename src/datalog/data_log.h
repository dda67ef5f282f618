// The data log and the Log menu. While a log runs, every accepted live-data
// reply adds a row with the numbers the window shows for it; Mark adds a
// marker line between the rows. The rows wait in memory for at most a second
// and are written out when communication stops, when logging stops and
// before the program ends. A write that fails stops logging with a message.
#pragma once

#include <filesystem>

#include "base/live_data_sink.h"
#include "datalog/log_file.h"
#include "window/program.h"

namespace korvane {

class DataLog : public LiveDataSink {
 public:
  explicit DataLog(Program& program);
  // A log still running is written out and closed.
  ~DataLog() override;
  DataLog(const DataLog&) = delete;
  DataLog& operator=(const DataLog&) = delete;

  bool logging() const { return file_.isOpen(); }

  // What the save dialog proposes: korvane-YYYYMMDD-HHMMSS.msl by the local
  // time now, in the folder of the last log, else in the home folder.
  std::filesystem::path proposedPath() const;

  // Starts a log in `path` (created, or emptied) and writes its header at
  // once; its rows are timed from now. A file that cannot be created or
  // written is named in a message and no log runs.
  void start(const std::filesystem::path& path);

  // A marker line, numbered from 1 in each log.
  void mark();

  // Writes what is held and closes the file.
  void stop();

  void liveData(const LiveSample& sample) override;
  void timerTick() override;
  void communicationStopped() override;
  void programEnding() override;

 private:
  // Writes what is held; when the file does not take it, logging stops and
  // a message names the file and the reason.
  void writeHeld();
  // The Log menu: Start checked and disabled while a log runs, Mark and Stop
  // enabled only then.
  void showState();

  Program& program_;
  LogFile file_;
  std::filesystem::path path_;
  std::filesystem::path lastFolder_;
  long long startMs_ = 0;
  int markers_ = 0;
};

// Log > Start logging…: asks for the file, with the name DataLog proposes and
// the extension "msl"; a cancelled dialog does nothing.
void Startlogging1Click(Program& program, DataLog& log);
// Log > Mark and Log > Stop logging.
void Mark1Click(DataLog& log);
void Stoplogging1Click(DataLog& log);

// Gives `program` its data log, which hears the live data from then on, and
// attaches the Log menu's handlers. Part of the window's creation.
void attachDataLog(Program& program);

}  // namespace korvane
