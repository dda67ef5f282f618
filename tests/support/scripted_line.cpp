// The scripted line.
#include "support/scripted_line.h"

#include <algorithm>
#include <cstring>

#include "link/reply_decoder.h"

namespace korvane::testing {
namespace {

class ScriptedBackend : public SerialBackend {
 public:
  explicit ScriptedBackend(std::shared_ptr<ScriptedLine> line) : line_(std::move(line)) {}

  bool open(const std::string& deviceName) override { return deviceName == "Com1"; }
  bool setQueues(int, int) override { return true; }
  bool getLineSettings(LineSettings&) override { return true; }
  bool setLineSettings(const LineSettings&) override { return true; }
  bool getTimeouts(Timeouts&) override { return true; }
  bool setTimeouts(const Timeouts&) override { return true; }

  int read(std::uint8_t* buffer, int count) override {
    ++line_->reads;
    if (line_->clock) line_->readTimes.push_back(line_->clock->now());
    if (line_->chunks.empty() || count <= 0) return 0;
    Bytes& front = line_->chunks.front();
    const auto n = std::min(front.size(), static_cast<std::size_t>(count));
    std::memcpy(buffer, front.data(), n);
    front.erase(front.begin(), front.begin() + static_cast<std::ptrdiff_t>(n));
    if (front.empty()) line_->chunks.pop_front();
    return static_cast<int>(n);
  }

  int write(const std::uint8_t* buffer, int count) override {
    line_->writes.emplace_back(buffer, buffer + count);
    if (line_->clock) line_->writeTimes.push_back(line_->clock->now());
    return count;
  }

  void close() override {}

 private:
  std::shared_ptr<ScriptedLine> line_;
};

}  // namespace

SerialPort::BackendFactory scriptedLineFactory(std::shared_ptr<ScriptedLine> line) {
  return [line] { return std::make_unique<ScriptedBackend>(line); };
}

void openScriptedPort(Program& program, ScriptedLine& line) {
  program.ControllerPort.PortNumber = 1;
  program.ControllerPort.BaudRate = 19200;
  program.ControllerPort.Close();
  program.ControllerPort.Open();
  line.reads = 0;
  line.readTimes.clear();
}

ScriptedProgram::ScriptedProgram() : line(std::make_shared<ScriptedLine>()), program(scriptedLineFactory(line)) {
  line->clock = &program.desktop.clock;
  openScriptedPort(*program, *line);
}

void ScriptedProgram::decode(Bytes bytes) {
  line->queue(std::move(bytes));
  DecodeReply(*program);
}

}  // namespace korvane::testing
