// The serial lines tests put behind SerialPort in place of the POSIX backend.
// A fake line is one device of one name that one backend at a time may hold.
// It notes every step of opening and what the tool asked for in it, can be
// made to fail at any one step, counts reads and records every write with its
// time on the line's virtual clock. What answers at the far end is for its
// two kinds to say: the memory line (the emulator, or bytes that arrive in
// virtual time) and the scripted line (queued chunks, one per read).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "serial/serial_port.h"
#include "support/line_bytes.h"
#include "support/recording_desktop.h"

namespace korvane::testing {

// A step of opening; the one a test makes the line fail at.
enum class OpenStep { None, Open, Queues, GetLineSettings, SetLineSettings, GetTimeouts, SetTimeouts };

struct WrittenFrame {
  long long atMs;
  Bytes bytes;
};

class FakeLine {
 public:
  explicit FakeLine(std::string deviceName);
  virtual ~FakeLine() = default;
  FakeLine(const FakeLine&) = delete;
  FakeLine& operator=(const FakeLine&) = delete;

  // Makes one backend per SerialPort::Open. They all share this line, which
  // must outlive them.
  SerialPort::BackendFactory factory();

  // Reads and writes run on this clock (the program's, normally); until one
  // is given the line keeps a clock of its own.
  void useClock(VirtualClock& clock) { clock_ = &clock; }
  VirtualClock& clock() { return *clock_; }
  const VirtualClock& clock() const { return *clock_; }

  OpenStep failStep = OpenStep::None;

  // How long each write takes to come back once its bytes are on the line,
  // as when the system runs something else before the writer.
  long long writeReturnsAfterMs = 0;

  // Every step of opening the tool took, the failing one included.
  const std::vector<OpenStep>& steps() const { return steps_; }
  int backendsMade() const { return backendsMade_; }
  int opens() const { return opens_; }
  int closes() const { return closes_; }  // asked for by the tool, not a backend's end
  bool held() const { return holder_ != nullptr; }

  // What the tool last asked for, whether or not the device took it.
  int inputQueue() const { return inputQueue_; }
  int outputQueue() const { return outputQueue_; }
  const LineSettings& lineSettings() const { return lineSettings_; }
  const Timeouts& timeouts() const { return timeoutsAsked_; }

  // Every write the tool made, in order, with its time; its reads, with the
  // time each began.
  const std::vector<WrittenFrame>& written() const { return written_; }
  std::vector<Bytes> writtenFrames() const;
  int reads() const { return static_cast<int>(readTimes_.size()); }
  const std::vector<long long>& readTimes() const { return readTimes_; }
  void clearHistory();

 protected:
  // The far end. A line that is down fails every read and write.
  virtual bool up() const { return true; }
  // One read of up to `count` bytes from what the far end sent.
  virtual int receive(std::uint8_t* buffer, int count) = 0;
  // The bytes of one write, handed to the far end.
  virtual void deliver(const Bytes&) {}

  // The time-outs the device reads with: its own until the tool sets others.
  const Timeouts& timeoutsInForce() const { return timeouts_; }

 private:
  friend class FakeBackend;

  std::string deviceName_;
  VirtualClock ownClock_;
  VirtualClock* clock_ = &ownClock_;
  std::vector<OpenStep> steps_;
  const void* holder_ = nullptr;
  int backendsMade_ = 0;
  int opens_ = 0;
  int closes_ = 0;
  int inputQueue_ = 0;
  int outputQueue_ = 0;
  LineSettings lineSettings_{.baudRate = 9600};
  // What the device reports before the tool sets its own: finite, so that a
  // read still ends if setting the time-outs failed, and unlike the tool's.
  Timeouts timeouts_{.readInterval = 10, .readTotalConstant = 50};
  Timeouts timeoutsAsked_;
  std::vector<WrittenFrame> written_;
  std::vector<long long> readTimes_;
};

}  // namespace korvane::testing
