// The memory line: arrivals, the controller behind it and reads in virtual
// time.
#include "support/memory_line.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

namespace korvane::testing {

void MemoryLine::arrive(long long atMs, Bytes bytes) {
  if (bytes.empty()) return;
  // After every arrival of the same time or earlier, so bytes keep the order
  // in which they were put on the line.
  auto at = std::ranges::upper_bound(arrivals_, atMs, {}, &Arrival::atMs);
  arrivals_.insert(at, Arrival{atMs, std::move(bytes)});
}

bool MemoryLine::down() const {
  if (dropped_) return true;
  const auto hangUp = controllerAttached_ ? controller_.hangUpAtMs() : std::nullopt;
  return hangUp && clock().now() >= *hangUp;
}

std::size_t MemoryLine::waitingBytes() const {
  std::size_t bytes = 0;
  for (const Arrival& a : arrivals_) bytes += a.bytes.size() - a.taken;
  return bytes;
}

void MemoryLine::deliver(const Bytes& bytes) {
  if (!controllerAttached_) return;
  for (sim::ReplyChunk& chunk : controller_.feed(bytes, clock().now())) arrive(chunk.atMs, std::move(chunk.bytes));
}

// One read with the three time-outs, in virtual time: bytes already waiting
// count as received when the read starts; after each byte the read waits up
// to the interval for the next, and never beyond the total time. A byte
// arriving exactly at the end of either time-out is still taken. An interval
// of 0 is not used; no total time-out at all means waiting for ever, which a
// test must not ask for.
int MemoryLine::receive(std::uint8_t* buffer, int count) {
  if (count <= 0) return 0;
  const Timeouts& t = timeoutsInForce();
  const bool totalUsed = t.readTotalConstant > 0 || t.readTotalMultiplier > 0;
  const long long deadline =
      totalUsed ? clock().now() + t.readTotalConstant + static_cast<long long>(count) * t.readTotalMultiplier
                : std::numeric_limits<long long>::max();
  std::optional<long long> next = nextArrival();
  if (!next || *next > deadline) {
    advanceTo(waitEnd(deadline));
    return 0;
  }
  advanceTo(*next);
  int got = 0;
  while (true) {
    got += takeArrived(buffer + got, count - got);
    if (got == count) return got;
    const long long intervalEnd = t.readInterval > 0 ? clock().now() + t.readInterval : deadline;
    next = nextArrival();
    if (next && *next <= intervalEnd && *next <= deadline) {
      advanceTo(*next);
      continue;
    }
    advanceTo(waitEnd(std::min(intervalEnd, deadline)));
    return got;
  }
}

long long MemoryLine::waitEnd(long long ms) {
  if (ms == std::numeric_limits<long long>::max())
    throw std::logic_error("read on the memory line would wait for ever");
  return ms;
}

int MemoryLine::takeArrived(std::uint8_t* buffer, int count) {
  int got = 0;
  while (got < count && !arrivals_.empty() && arrivals_.front().atMs <= clock().now()) {
    Arrival& a = arrivals_.front();
    const auto n = std::min(static_cast<std::size_t>(count - got), a.bytes.size() - a.taken);
    std::copy_n(a.bytes.begin() + static_cast<std::ptrdiff_t>(a.taken), n, buffer + got);
    a.taken += n;
    got += static_cast<int>(n);
    if (a.taken == a.bytes.size()) arrivals_.pop_front();
  }
  return got;
}

std::optional<long long> MemoryLine::nextArrival() const {
  if (arrivals_.empty()) return std::nullopt;
  return arrivals_.front().atMs;
}

void MemoryLine::advanceTo(long long ms) {
  if (ms > clock().now()) clock().advance(ms - clock().now());
}

}  // namespace korvane::testing
