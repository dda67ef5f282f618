// What SerialPort needs of the operating system, one step at a time, so that
// Open can report the step that failed. The POSIX backend lives in
// serial_backend_posix.cpp, the Win32 one in serial_backend_win32.cpp (the
// build takes the one of its platform); tests put an in-memory line behind
// the same interface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace korvane {

struct LineSettings {
  int baudRate = 0;
  int byteSize = 8;
  int parity = 0;    // 0 = none
  int stopBits = 0;  // 0 = one stop bit
  bool abortOnError = false;
};

struct Timeouts {
  int readInterval = 0;          // ms allowed between two received bytes
  int readTotalMultiplier = 0;   // ms per requested byte
  int readTotalConstant = 0;     // ms on top
  int writeTotalMultiplier = 0;  // ms per byte written
  int writeTotalConstant = 0;    // ms on top
};

class SerialBackend {
 public:
  virtual ~SerialBackend() = default;

  // Opens the named device (for example "Com1") for exclusive reading and
  // writing, only if it exists. False when it is missing or held elsewhere.
  virtual bool open(const std::string& deviceName) = 0;
  virtual bool setQueues(int inputBytes, int outputBytes) = 0;
  virtual bool getLineSettings(LineSettings& settings) = 0;
  virtual bool setLineSettings(const LineSettings& settings) = 0;
  virtual bool getTimeouts(Timeouts& timeouts) = 0;
  virtual bool setTimeouts(const Timeouts& timeouts) = 0;

  // One read of up to `count` bytes, honouring the time-outs: returns when
  // `count` bytes are in, when the interval passes after a byte without
  // another, or when the total time is up. Returns the bytes read, -1 when the
  // read failed. A time-out is not a failure.
  virtual int read(std::uint8_t* buffer, int count) = 0;

  // One write of `count` bytes within the write time-out; returns the bytes
  // written or -1.
  virtual int write(const std::uint8_t* buffer, int count) = 0;

  // Releases the device; harmless when nothing is held.
  virtual void close() = 0;
};

// The backend of the platform the program is built for, defined in that
// platform's backend file. `workDir` is where comm.ini lives; on POSIX the
// Com<n> links are looked up there, Win32 names its ports itself.
std::unique_ptr<SerialBackend> makePlatformSerialBackend(const std::filesystem::path& workDir);

}  // namespace korvane
