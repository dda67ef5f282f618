// An in-memory serial line on the virtual clock, with the emulated controller
// (or bytes a test scripts) at the far end. Its backend stands in for the
// POSIX one behind SerialPort: it opens only the configured device name,
// records what the tool sets and writes, and honours the three read
// time-outs exactly, in virtual time.
//
// A read of n bytes with the tool's time-outs (5 ms interval, 5 + n ms in
// all) takes what has arrived and returns at once if that is n bytes;
// otherwise it waits for more on the clock while each next byte comes within
// 5 ms of the one before, and returns 5 ms after the last byte, or at the
// latest 5 + n ms after it started. With nothing arrived it waits for the
// first byte, or returns 0 at that deadline. Writes take no time; the
// controller's reply chunks arrive when the controller says.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "sim/lib/controller.h"
#include "support/headless_program.h"
#include "support/line_bytes.h"
#include "support/recording_desktop.h"

namespace korvane::testing {

struct WrittenFrame {
  long long atMs;
  Bytes bytes;
};

// The step of opening at which a test makes the backend fail.
enum class OpenStep { None, Queues, GetLineSettings, SetLineSettings, GetTimeouts, SetTimeouts };

class MemoryLine {
 public:
  explicit MemoryLine(std::string deviceName = "Com1");
  MemoryLine(const MemoryLine&) = delete;
  MemoryLine& operator=(const MemoryLine&) = delete;

  // Reads and writes run on this clock (the program's, normally); until one
  // is given the line keeps a clock of its own.
  void useClock(VirtualClock& clock) { clock_ = &clock; }
  VirtualClock& clock() { return *clock_; }

  // Makes one backend per SerialPort::Open. They all share this line, which
  // must outlive them.
  SerialPort::BackendFactory factory();

  sim::Controller& controller() { return controller_; }

  // Without the controller writes are recorded and nothing answers; the test
  // scripts the far end with arrive().
  void detachController() { controllerAttached_ = false; }

  // Bytes that reach the tool at `atMs` (absolute, on the line's clock).
  void arrive(long long atMs, Bytes bytes);

  // Pulls the cable: from now on reads and writes fail.
  void dropLine() { dropped_ = true; }
  bool down() const;

  // Every write the tool made, in order, with its time.
  const std::vector<WrittenFrame>& written() const { return written_; }
  std::vector<Bytes> writtenFrames() const;
  void clearWritten() { written_.clear(); }

  // Bytes that have arrived or are on their way and have not been read.
  std::size_t waitingBytes() const;

  bool held() const { return holder_ != nullptr; }
  int opens() const { return opens_; }
  int inputQueue() const { return inputQueue_; }
  int outputQueue() const { return outputQueue_; }
  const LineSettings& lineSettings() const { return lineSettings_; }
  const Timeouts& timeouts() const { return timeouts_; }

  OpenStep failStep = OpenStep::None;

 private:
  friend class MemoryBackend;

  struct Arrival {
    long long atMs;
    Bytes bytes;
    std::size_t taken = 0;
  };

  int read(std::uint8_t* buffer, int count);
  int write(const std::uint8_t* buffer, int count);
  int takeArrived(std::uint8_t* buffer, int count);
  std::optional<long long> nextArrival() const;
  void advanceTo(long long ms);
  static long long waitEnd(long long ms);

  std::string deviceName_;
  VirtualClock ownClock_;
  VirtualClock* clock_ = &ownClock_;
  sim::Controller controller_;
  bool controllerAttached_ = true;
  bool dropped_ = false;
  const void* holder_ = nullptr;
  int opens_ = 0;
  int inputQueue_ = 0;
  int outputQueue_ = 0;
  LineSettings lineSettings_{.baudRate = 9600};
  // What the device reports before the tool sets its own: finite, so that a
  // read still ends if setting the time-outs failed, and unlike the tool's.
  Timeouts timeouts_{.readInterval = 10, .readTotalConstant = 50};
  std::deque<Arrival> arrivals_;  // in order of arrival
  std::vector<WrittenFrame> written_;
};

// A headless program whose port reaches the emulator over a memory line on
// the program's own virtual clock.
struct ProgramOnLine {
  ProgramOnLine() { line.useClock(program.desktop.clock); }

  MemoryLine line;
  HeadlessProgram program{line.factory(), true, 1};  // Com1 chosen earlier
};

}  // namespace korvane::testing
