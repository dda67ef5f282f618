// A fake line on the virtual clock with the emulated controller (or bytes a
// test scripts) at the far end. It honours the three read time-outs exactly,
// in virtual time.
//
// A read of n bytes with the tool's time-outs (5 ms interval, 5 + n ms in
// all) takes what has arrived and returns at once if that is n bytes;
// otherwise it waits for more on the clock while each next byte comes within
// 5 ms of the one before, and returns 5 ms after the last byte, or at the
// latest 5 + n ms after it started. With nothing arrived it waits for the
// first byte, or returns 0 at that deadline. Writes take no time; the
// controller's reply chunks arrive when the controller says.
#pragma once

#include <deque>
#include <optional>
#include <string>

#include "sim/lib/controller.h"
#include "support/fake_line.h"
#include "support/headless_program.h"

namespace korvane::testing {

class MemoryLine : public FakeLine {
 public:
  explicit MemoryLine(std::string deviceName = "Com1") : FakeLine(std::move(deviceName)) {}

  sim::Controller& controller() { return controller_; }

  // Without the controller writes are recorded and nothing answers; the test
  // scripts the far end with arrive().
  void detachController() { controllerAttached_ = false; }

  // Bytes that reach the tool at `atMs` (absolute, on the line's clock).
  void arrive(long long atMs, Bytes bytes);

  // Pulls the cable: from now on reads and writes fail.
  void dropLine() { dropped_ = true; }
  bool down() const;

  // Bytes that have arrived or are on their way and have not been read.
  std::size_t waitingBytes() const;

 protected:
  bool up() const override { return !down(); }
  int receive(std::uint8_t* buffer, int count) override;
  void deliver(const Bytes& bytes) override;

 private:
  struct Arrival {
    long long atMs;
    Bytes bytes;
    std::size_t taken = 0;
  };

  int takeArrived(std::uint8_t* buffer, int count);
  std::optional<long long> nextArrival() const;
  void advanceTo(long long ms);
  static long long waitEnd(long long ms);

  sim::Controller controller_;
  bool controllerAttached_ = true;
  bool dropped_ = false;
  std::deque<Arrival> arrivals_;  // in order of arrival
};

// A headless program whose port reaches the emulator over a memory line on
// the program's own virtual clock; the line's device and the port comm.ini
// chooses (0 for none) are Com1 and 1 unless given.
struct ProgramOnLine {
  explicit ProgramOnLine(std::string deviceName = "Com1", int commIniPort = 1)
      : line(std::move(deviceName)), program(line.factory(), true, commIniPort) {
    line.useClock(program.desktop.clock);
  }

  MemoryLine line;
  HeadlessProgram program;
};

}  // namespace korvane::testing
