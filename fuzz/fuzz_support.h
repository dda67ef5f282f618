// What the fuzz targets share: reading an input front to back, and the check
// that turns a broken promise into a crash the fuzzer keeps as a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

namespace korvane::fuzzing {

// Stops the run with the promise that did not hold; libFuzzer saves the input.
inline void require(bool holds, std::string_view promise) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %.*s\n", static_cast<int>(promise.size()), promise.data());
  std::abort();
}

// An input read from the front: fixed header bytes first (0 once the input
// is used up, so every input is usable), then whatever is left.
class InputBytes {
 public:
  InputBytes(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

  std::uint8_t next() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }

  std::uint16_t nextWord() {
    const std::uint8_t low = next();
    return static_cast<std::uint16_t>(low | (next() << 8));
  }

  std::uint64_t nextUint64() {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value |= std::uint64_t{next()} << (8 * i);
    return value;
  }

  std::span<const std::uint8_t> rest() {
    const std::span<const std::uint8_t> left = bytes_.subspan(at_);
    at_ = bytes_.size();
    return left;
  }

  std::string restAsText() {
    const std::span<const std::uint8_t> left = rest();
    return std::string(left.begin(), left.end());
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

}  // namespace korvane::fuzzing
