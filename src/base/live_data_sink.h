// What else hears of the live engine data besides the window: one sample per
// accepted live-data reply, the ticks of the 100 ms timer, and the moments at
// which nothing may be left waiting in memory. The data log listens here, so
// the reply appliers and the communication control need not know it.
#pragma once

#include <cstdint>

namespace korvane {

// One accepted 'A' reply: the numbers the window shows for it and the three
// readings they were computed from.
struct LiveSample {
  std::uint16_t mapReading = 0;
  std::uint16_t rpmReading = 0;
  std::uint16_t pulseReading = 0;  // in units of 102.4 µs
  float mapKpa = 0;
  std::int64_t rpm = 0;
  long double pulseWidthMs = 0;
  int cell = -1;  // the gain cell under the two cursor bars; -1 until the map's scales are known
};

class LiveDataSink {
 public:
  virtual ~LiveDataSink() = default;

  // An accepted live-data reply, once the window shows it.
  virtual void liveData(const LiveSample& sample) = 0;

  // Every tick of the 100 ms timer, whatever the line is doing.
  virtual void timerTick() = 0;

  // Communication has stopped: Halt, a connection given up, or a set-file
  // transfer taking the port over.
  virtual void communicationStopped() = 0;

  // The process ends next, by whichever way out; nothing may wait for the
  // user any more.
  virtual void programEnding() = 0;
};

}  // namespace korvane
