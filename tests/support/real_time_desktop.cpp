// The real-time desktop.
#include "support/real_time_desktop.h"

#include <time.h>

#include <cerrno>

namespace korvane::testing {

// steady_clock is CLOCK_MONOTONIC, so its time points are the kernel's.
void sleepUntil(std::chrono::steady_clock::time_point deadline) {
  using namespace std::chrono;
  const auto sinceEpoch = duration_cast<nanoseconds>(deadline.time_since_epoch()).count();
  const timespec at{static_cast<time_t>(sinceEpoch / 1'000'000'000), static_cast<long>(sinceEpoch % 1'000'000'000)};
  // A signal ends the wait early; the deadline stays, so just wait again.
  while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
  }
}

void RealTimeDesktop::messageBox(const std::string& text, const std::string& caption) {
  clock.advance(nowMs() - clock.now());
  RecordingDesktop::messageBox(text, caption);
}

void RealTimeDesktop::sleep(int milliseconds) {
  // The deadline is taken before anything else, so the bookkeeping below
  // lies within the wait instead of lengthening it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  sleeps.push_back(milliseconds);
  sleepUntil(deadline);
}

long long RealTimeDesktop::nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

}  // namespace korvane::testing
