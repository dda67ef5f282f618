// SerialPort: the tool's only gateway to the controller. It opens one
// numbered COM device with fixed line settings and time-outs and offers
// blocking reads and writes of raw bytes. The transfer operations return true
// when nothing moved and false when data moved (the opposite of Open).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "serial/serial_backend.h"

namespace korvane {

class Desktop;

constexpr int kReadBlockSize = 100;  // the most one read returns

class SerialPort {
 public:
  using BackendFactory = std::function<std::unique_ptr<SerialBackend>()>;

  SerialPort(Desktop& desktop, BackendFactory factory);

  std::int32_t PortNumber = 1;
  std::int32_t BaudRate = 9600;
  std::int32_t ByteSize = 8;
  std::int32_t Parity = 0;
  std::int32_t StopBits = 0;
  bool IsOpen = false;

  // Opens and configures the port; on the first failing step shows its
  // message with the caption "ERROR" and returns false.
  bool Open();
  void Close();

  // True when the port is not open or no byte came; false when one byte was
  // stored in `byte`.
  bool ReadByte(std::uint8_t& byte);

  // Reads up to 100 bytes into `buffer` (which holds 100); `count` gets the
  // number read. True when the port is not open or nothing came.
  bool ReadBlock(std::uint8_t* buffer, std::int32_t& count);

  // True when the port is not open and nothing was written; false once the
  // write has been issued, whatever its outcome.
  bool Write(const std::uint8_t* buffer, std::int32_t length);

  // Whether a device handle is held (also after an Open that failed after
  // the device was opened, until the next Close).
  bool holdsHandle() const { return Handle != nullptr; }

  // "Com" and the decimal port number, as the device is named.
  static std::string deviceName(std::int32_t portNumber);

 private:
  void setTimeouts();
  void drainStaleInput();

  Desktop& desktop_;
  BackendFactory factory_;
  std::unique_ptr<SerialBackend> Handle;
};

}  // namespace korvane
