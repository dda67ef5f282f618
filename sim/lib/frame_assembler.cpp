// Frame assembly with resynchronisation on the header and the letter.
#include "sim/lib/frame_assembler.h"

#include <algorithm>
#include <utility>

namespace korvane::sim {
namespace {

constexpr std::uint8_t kStart = 0x02;
constexpr std::uint8_t kLength = 0x06;

}  // namespace

FrameAssembler::FrameAssembler(KnownLetter knownLetter) : knownLetter_(std::move(knownLetter)) {}

std::vector<Frame> FrameAssembler::push(std::span<const std::uint8_t> bytes, long long nowMs) {
  if (!pending_.empty() && nowMs - lastByteMs_ > kFrameGapMs) {
    discarded_ += pending_.size();
    pending_.clear();
  }
  if (!bytes.empty()) lastByteMs_ = nowMs;
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());

  std::vector<Frame> frames;
  while (true) {
    if (dropUnframed()) continue;
    if (pending_.size() < kFrameSize) break;
    Frame frame;
    std::copy_n(pending_.begin(), kFrameSize, frame.begin());
    pending_.erase(pending_.begin(), pending_.begin() + kFrameSize);
    frames.push_back(frame);
  }
  return frames;
}

// Drops bytes from the front that cannot begin a frame; true when it dropped
// any. A 0x02 followed by something other than 0x06, or a header followed by
// an unknown letter, costs one byte only, since the real header may start
// inside it.
bool FrameAssembler::dropUnframed() {
  auto start = std::find(pending_.begin(), pending_.end(), kStart);
  std::size_t drop = static_cast<std::size_t>(start - pending_.begin());
  if (drop == 0 && pending_.size() >= 2 && pending_[1] != kLength) drop = 1;
  if (drop == 0 && pending_.size() >= 3 && !knownLetter_(static_cast<char>(pending_[2]))) drop = 1;
  if (drop == 0) return false;
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(drop));
  discarded_ += drop;
  return true;
}

}  // namespace korvane::sim
