// SerialPort: the Open steps with their messages, and the inverted results of
// the transfer operations.
#include "link/serial_port.h"

#include <utility>

#include "base/desktop.h"

namespace korvane {
namespace {

constexpr int kQueueBytes = 2048;
constexpr int kDrainMaxBytes = 4096;  // a line that never goes quiet must not hang Open

}  // namespace

SerialPort::SerialPort(Desktop& desktop, BackendFactory factory)
    : desktop_(desktop), factory_(std::move(factory)) {}

std::string SerialPort::deviceName(std::int32_t portNumber) { return "Com" + std::to_string(portNumber); }

bool SerialPort::Open() {
  auto fail = [this](const char* message) {
    desktop_.messageBox(message, "ERROR");
    return false;
  };
  // Numbers below -99 would need more than three characters after "Com".
  if (PortNumber > 255 || PortNumber < -99) return fail("Invalid ComPort");
  const std::string name = deviceName(PortNumber);

  std::unique_ptr<SerialBackend> backend = factory_();
  if (!backend || !backend->open(name)) return fail("Bad ComPort");
  Handle = std::move(backend);

  if (!Handle->setQueues(kQueueBytes, kQueueBytes)) return fail("Couldnt set com buffer size");
  LineSettings line;
  if (!Handle->getLineSettings(line)) return fail("Control block param = 0");
  line.baudRate = BaudRate;
  line.byteSize = static_cast<std::uint8_t>(ByteSize);
  line.parity = static_cast<std::uint8_t>(Parity);
  line.stopBits = static_cast<std::uint8_t>(StopBits);
  line.abortOnError = true;
  if (!Handle->setLineSettings(line)) return fail("control block State = 0");

  Timeouts timeouts;
  if (Handle->getTimeouts(timeouts)) {
    timeouts.readInterval = 5;
    timeouts.readTotalMultiplier = 1;
    timeouts.readTotalConstant = 5;
    timeouts.writeTotalMultiplier = 1;
    timeouts.writeTotalConstant = 5;
    Handle->setTimeouts(timeouts);  // a failure here is of no consequence to the callers
  }

  // Discard whatever the line delivered before the port was ours, one byte
  // at a time until a read brings nothing, but never without end.
  std::uint8_t stale = 0;
  for (int drained = 0; drained < kDrainMaxBytes && Handle->read(&stale, 1) == 1; ++drained) {
  }

  IsOpen = true;
  return true;
}

void SerialPort::Close() {
  if (Handle) Handle->close();
  Handle.reset();
  IsOpen = false;
}

bool SerialPort::ReadByte(std::uint8_t& byte) {
  if (!IsOpen) return true;
  return Handle->read(&byte, 1) != 1;
}

bool SerialPort::ReadBlock(std::uint8_t* buffer, std::int32_t& count) {
  count = 0;
  if (!IsOpen) return true;
  const int got = Handle->read(buffer, kReadBlockSize);
  count = got > 0 ? got : 0;
  return count == 0;
}

bool SerialPort::Write(const std::uint8_t* buffer, std::int32_t length) {
  if (!IsOpen) return true;
  if (length > 0) Handle->write(buffer, length);  // a failed or partial write is not detected
  return false;
}

}  // namespace korvane
