// The precise waits on a descriptor, and the time conversions they need,
// for POSIX (the reasons are in precise_wait.h).
#pragma once

#include <poll.h>
#include <time.h>

#include <chrono>

#include "base/precise_wait.h"

namespace korvane {

// Waits until `entry.fd` is ready for `entry.events` or `deadline` has
// passed; a signal does not end it early. poll()'s result: above 0 when the
// descriptor is ready (`entry.revents` says how), 0 at the deadline, -1 when
// the wait failed (errno says why).
int pollUntil(pollfd& entry, std::chrono::steady_clock::time_point deadline);

// A time point of the monotonic clock, which steady_clock is, as the kernel
// takes it for absolute deadlines.
timespec toTimespec(std::chrono::steady_clock::time_point at);

// The time left until `deadline`, zero once it has passed. Nanoseconds, so
// that a wait ends at its deadline and not up to a millisecond after it.
timespec timeUntil(std::chrono::steady_clock::time_point deadline);

}  // namespace korvane
