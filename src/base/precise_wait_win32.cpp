// The precise sleep on Windows, where only the tests' real-time desktop uses
// it: the program's own waits there are the window's waitable timers.
#include <thread>

#include "base/precise_wait.h"

namespace korvane {

void sleepUntil(std::chrono::steady_clock::time_point deadline) {
  // A sleep may end a little before the time asked for; sleep on until the
  // clock has reached the deadline.
  for (auto now = std::chrono::steady_clock::now(); now < deadline; now = std::chrono::steady_clock::now()) {
    std::this_thread::sleep_for(deadline - now);
  }
}

}  // namespace korvane
