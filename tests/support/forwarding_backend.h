// A serial backend that hands every step to a real one, for tests that
// change or watch one step of a real port and leave the rest alone.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "serial/serial_backend.h"

namespace korvane::testing {

class ForwardingBackend : public SerialBackend {
 public:
  explicit ForwardingBackend(std::unique_ptr<SerialBackend> real) : real_(std::move(real)) {}
  bool open(const std::string& deviceName) override { return real_->open(deviceName); }
  bool setQueues(int input, int output) override { return real_->setQueues(input, output); }
  bool getLineSettings(LineSettings& settings) override { return real_->getLineSettings(settings); }
  bool setLineSettings(const LineSettings& settings) override { return real_->setLineSettings(settings); }
  bool getTimeouts(Timeouts& timeouts) override { return real_->getTimeouts(timeouts); }
  bool setTimeouts(const Timeouts& timeouts) override { return real_->setTimeouts(timeouts); }
  int read(std::uint8_t* buffer, int count) override { return real_->read(buffer, count); }
  int write(const std::uint8_t* buffer, int count) override { return real_->write(buffer, count); }
  void close() override { real_->close(); }

 private:
  std::unique_ptr<SerialBackend> real_;
};

}  // namespace korvane::testing
