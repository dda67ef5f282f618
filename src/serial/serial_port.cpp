// SerialPort: the Open steps with their messages, and the inverted results of
// the transfer operations.
#include "serial/serial_port.h"

#include <utility>

#include "base/desktop.h"

namespace korvane {
namespace {

constexpr int kQueueBytes = 2048;

// The drain at the end of Open stops at the first read that brings nothing.
// Stale input is read in well under a millisecond per byte, so a line that
// is still delivering after these bounds never goes quiet, and Open must
// not hang on it.
constexpr int kDrainMaxBytes = 4096;
constexpr long long kDrainMaxMs = 200;

}  // namespace

SerialPort::SerialPort(Desktop& desktop, BackendFactory factory) : desktop_(desktop), factory_(std::move(factory)) {}

std::string SerialPort::deviceName(std::int32_t portNumber) { return "Com" + std::to_string(portNumber); }

bool SerialPort::Open() {
  auto fail = [this](const char* message) {
    desktop_.messageBox(message, "ERROR");
    return false;
  };
  // A failed Open leaves the port closed, even if it was open before.
  IsOpen = false;
  // Numbers below -99 would need more than three characters after "Com".
  if (PortNumber > 255 || PortNumber < -99) return fail("Invalid ComPort");
  const std::string name = deviceName(PortNumber);

  // A device still held from an earlier Open would refuse this one (it is
  // opened for exclusive use) and would otherwise be lost without release.
  Close();
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

  setTimeouts();
  drainStaleInput();
  IsOpen = true;
  return true;
}

// The time-outs are set even when the current ones cannot be read: all five
// are replaced, and without them reads would not wait for a reply at all.
// A failure here is not reported.
void SerialPort::setTimeouts() {
  Timeouts timeouts;
  Handle->getTimeouts(timeouts);
  timeouts.readInterval = 5;
  timeouts.readTotalMultiplier = 1;
  timeouts.readTotalConstant = 5;
  timeouts.writeTotalMultiplier = 1;
  timeouts.writeTotalConstant = 5;
  Handle->setTimeouts(timeouts);
}

// Discards whatever the line delivered before the port was ours, one byte at
// a time until a read brings nothing, within the bounds above.
void SerialPort::drainStaleInput() {
  const long long start = desktop_.nowMs();
  std::uint8_t stale = 0;
  for (int drained = 0; drained < kDrainMaxBytes && desktop_.nowMs() - start < kDrainMaxMs; ++drained) {
    if (Handle->read(&stale, 1) != 1) break;
  }
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
