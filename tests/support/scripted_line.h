// A fake line that plays back queued byte chunks: each read returns the next
// chunk (or as much of it as was asked for), and an empty queue reads 0 bytes
// at once, whatever the time-outs. Reads take no time.
#pragma once

#include <deque>

#include "support/fake_line.h"
#include "support/headless_program.h"
#include "window/program.h"

namespace korvane::testing {

class ScriptedLine : public FakeLine {
 public:
  explicit ScriptedLine(std::string deviceName = "Com1") : FakeLine(std::move(deviceName)) {}

  // Queues the bytes one read will return.
  void queue(Bytes chunk) { chunks_.push_back(std::move(chunk)); }
  // Chunks no read has taken yet.
  std::size_t queued() const { return chunks_.size(); }

 protected:
  int receive(std::uint8_t* buffer, int count) override;

 private:
  std::deque<Bytes> chunks_;
};

// A started-up program whose port is open on Com1, a scripted line on the
// program's virtual clock; the drain of the open is not in the line's history.
struct ScriptedProgram {
  ScriptedProgram();

  // Queues `bytes` as the next read and runs DecodeReply on it.
  void decode(Bytes bytes);

  ScriptedLine line;
  HeadlessProgram program;

  Program& operator*() { return *program; }
  Program* operator->() { return program.program.get(); }
  TFrm_Mapping& window() { return program.window(); }
  RecordingDesktop& desktop() { return program.desktop; }
};

}  // namespace korvane::testing
