// A serial line that plays back queued byte chunks: each read returns the
// next chunk (or as much of it as was asked for), an empty queue reads 0
// bytes, and every write is recorded. Only "Com1" exists on it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "app/program.h"
#include "link/serial_backend.h"
#include "support/headless_program.h"
#include "support/line_bytes.h"
#include "support/recording_desktop.h"

namespace korvane::testing {

class ScriptedLine {
 public:
  // Queues the bytes one read will return.
  void queue(Bytes chunk) { chunks.push_back(std::move(chunk)); }

  std::deque<Bytes> chunks;   // what the next reads return, one per read
  std::vector<Bytes> writes;  // every write, in order
  int reads = 0;              // reads issued after the port was open

  // When set, the virtual time of every read and write is noted here.
  const VirtualClock* clock = nullptr;
  std::vector<long long> readTimes;
  std::vector<long long> writeTimes;
};

// A factory for the program's ControllerPort whose backends all play `line`.
SerialPort::BackendFactory scriptedLineFactory(std::shared_ptr<ScriptedLine> line);

// Opens the program's ControllerPort on Com1 at 19200 baud; the scripted line
// must be behind it. Reads made while opening are not counted.
void openScriptedPort(Program& program, ScriptedLine& line);

// A started-up program whose port is open on a scripted line that notes the
// virtual time of its reads and writes.
struct ScriptedProgram {
  ScriptedProgram();

  // Queues `bytes` as the next read and runs DecodeReply on it.
  void decode(Bytes bytes);

  std::shared_ptr<ScriptedLine> line;
  HeadlessProgram program;

  Program& operator*() { return *program; }
  Program* operator->() { return program.program.get(); }
  TFrm_Mapping& window() { return program.window(); }
  RecordingDesktop& desktop() { return program.desktop; }
};

}  // namespace korvane::testing
