// The fake line and the backend that holds it.
#include "support/fake_line.h"

#include <memory>
#include <utility>

namespace korvane::testing {

class FakeBackend : public SerialBackend {
 public:
  explicit FakeBackend(FakeLine& line) : line_(line) {}
  ~FakeBackend() override { release(); }

  bool open(const std::string& deviceName) override {
    if (!step(OpenStep::Open) || deviceName != line_.deviceName_ || line_.holder_) return false;
    line_.holder_ = this;
    ++line_.opens_;
    return true;
  }
  bool setQueues(int inputBytes, int outputBytes) override {
    line_.inputQueue_ = inputBytes;
    line_.outputQueue_ = outputBytes;
    return holding() && step(OpenStep::Queues);
  }
  bool getLineSettings(LineSettings& settings) override {
    if (!holding() || !step(OpenStep::GetLineSettings)) return false;
    settings = line_.lineSettings_;
    return true;
  }
  bool setLineSettings(const LineSettings& settings) override {
    line_.lineSettings_ = settings;
    return holding() && step(OpenStep::SetLineSettings);
  }
  bool getTimeouts(Timeouts& timeouts) override {
    if (!holding() || !step(OpenStep::GetTimeouts)) return false;
    timeouts = line_.timeouts_;
    return true;
  }
  bool setTimeouts(const Timeouts& timeouts) override {
    line_.timeoutsAsked_ = timeouts;
    if (!holding() || !step(OpenStep::SetTimeouts)) return false;
    line_.timeouts_ = timeouts;
    return true;
  }
  int read(std::uint8_t* buffer, int count) override {
    if (!holding()) return -1;
    line_.readTimes_.push_back(line_.clock_->now());
    return line_.up() ? line_.receive(buffer, count) : -1;
  }
  int write(const std::uint8_t* buffer, int count) override {
    if (!holding() || !line_.up()) return -1;
    Bytes bytes(buffer, buffer + count);
    line_.written_.push_back({line_.clock_->now(), bytes});
    line_.deliver(bytes);
    line_.clock_->advance(line_.writeReturnsAfterMs);
    return count;
  }
  void close() override {
    ++line_.closes_;
    release();
  }

 private:
  bool holding() const { return line_.holder_ == this; }
  void release() {
    if (holding()) line_.holder_ = nullptr;
  }
  // Notes the step; false when it is the one the line fails at.
  bool step(OpenStep step) {
    line_.steps_.push_back(step);
    return line_.failStep != step;
  }

  FakeLine& line_;
};

FakeLine::FakeLine(std::string deviceName) : deviceName_(std::move(deviceName)) {}

SerialPort::BackendFactory FakeLine::factory() {
  return [this] {
    ++backendsMade_;
    return std::unique_ptr<SerialBackend>(std::make_unique<FakeBackend>(*this));
  };
}

std::vector<Bytes> FakeLine::writtenFrames() const {
  std::vector<Bytes> frames;
  for (const WrittenFrame& frame : written_) frames.push_back(frame.bytes);
  return frames;
}

void FakeLine::clearHistory() {
  written_.clear();
  readTimes_.clear();
}

}  // namespace korvane::testing
