// The bytes waiting to go out on the line. Each leaves no earlier than its
// reply chunk is due and no faster than the line carries it: at 19200 baud
// with a start and a stop bit, one byte every 521 µs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "sim/lib/controller.h"

namespace korvane::sim {

constexpr long long kByteTimeUs = 521;  // 10 bits at 19200 baud

class PacedOutput {
 public:
  explicit PacedOutput(long long byteTimeUs = kByteTimeUs) : byteTimeUs_(byteTimeUs) {}

  // Queues a chunk whose time is in ms on the same clock as `due`.
  void add(const ReplyChunk& chunk);

  // The bytes whose time has come by `nowUs`, oldest first; they stay queued
  // until consumed, so a write that takes only part of them loses nothing.
  Bytes due(long long nowUs) const;
  void consume(std::size_t count);

  std::optional<long long> nextDueUs() const;
  bool empty() const { return pending_.empty(); }
  std::size_t size() const { return pending_.size(); }

 private:
  struct Pending {
    long long dueUs;
    std::uint8_t byte;
  };
  long long byteTimeUs_;
  long long lastDueUs_ = -1'000'000'000;
  std::deque<Pending> pending_;
};

}  // namespace korvane::sim
