// Gathers the bytes the tool writes into six-byte command frames. Bytes may
// come in pieces or with junk around them; the assembler finds the next
// 0x02 0x06 header followed by a known command letter and throws away what
// cannot start a frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace korvane::sim {

constexpr std::size_t kFrameSize = 6;
using Frame = std::array<std::uint8_t, kFrameSize>;

// A partial frame older than this when more bytes come is dropped: the tool
// writes each frame whole, so a long pause means its beginning was junk.
constexpr long long kFrameGapMs = 20;

class FrameAssembler {
 public:
  using KnownLetter = std::function<bool(char)>;

  explicit FrameAssembler(KnownLetter knownLetter);

  // Adds bytes received at `nowMs` and returns the frames they complete.
  std::vector<Frame> push(std::span<const std::uint8_t> bytes, long long nowMs);

  // Bytes thrown away so far because they could not start a frame.
  std::size_t discarded() const { return discarded_; }

 private:
  bool dropUnframed();

  KnownLetter knownLetter_;
  std::vector<std::uint8_t> pending_;
  long long lastByteMs_ = 0;
  std::size_t discarded_ = 0;
};

}  // namespace korvane::sim
