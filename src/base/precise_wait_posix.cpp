// The precise waits, with clock_nanosleep() and ppoll() on the monotonic
// clock.
#include "base/precise_wait_posix.h"

#include <cerrno>

namespace korvane {
namespace {

using Clock = std::chrono::steady_clock;

void sleepTo(Clock::time_point at) {
  const timespec when = toTimespec(at);
  // A signal ends the sleep early; the time is absolute, so sleep on.
  while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &when, nullptr) == EINTR) {
  }
}

int pollTo(pollfd& entry, Clock::time_point at) {
  for (;;) {
    const timespec timeout = timeUntil(at);
    const int ready = ::ppoll(&entry, 1, &timeout, nullptr);
    if (ready >= 0 || errno != EINTR) return ready;
  }
}

}  // namespace

void sleepUntil(Clock::time_point deadline) {
  if (const Clock::time_point early = deadline - kLastStretch; Clock::now() < early) sleepTo(early);
  sleepTo(deadline);
}

int pollUntil(pollfd& entry, Clock::time_point deadline) {
  if (const Clock::time_point early = deadline - kLastStretch; Clock::now() < early) {
    if (const int ready = pollTo(entry, early); ready != 0) return ready;
  }
  return pollTo(entry, deadline);
}

timespec toTimespec(Clock::time_point at) {
  const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
  return timespec{static_cast<time_t>(since / 1'000'000'000), static_cast<long>(since % 1'000'000'000)};
}

timespec timeUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now()).count();
  if (left <= 0) return timespec{0, 0};
  return timespec{static_cast<time_t>(left / 1'000'000'000), static_cast<long>(left % 1'000'000'000)};
}

}  // namespace korvane
