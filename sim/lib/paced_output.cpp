// Pacing of the emulator's output.
#include "sim/lib/paced_output.h"

#include <algorithm>

namespace korvane::sim {

void PacedOutput::add(const ReplyChunk& chunk) {
  for (std::uint8_t byte : chunk.bytes) {
    // The line is free again one byte time after the last byte started.
    lastDueUs_ = std::max(chunk.atMs * 1000, lastDueUs_ + byteTimeUs_);
    pending_.push_back({lastDueUs_, byte});
  }
}

Bytes PacedOutput::due(long long nowUs) const {
  Bytes bytes;
  for (const Pending& p : pending_) {
    if (p.dueUs > nowUs) break;
    bytes.push_back(p.byte);
  }
  return bytes;
}

void PacedOutput::consume(std::size_t count) {
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(std::min(count, pending_.size())));
}

std::optional<long long> PacedOutput::nextDueUs() const {
  if (pending_.empty()) return std::nullopt;
  return pending_.front().dueUs;
}

}  // namespace korvane::sim
