// Building controller replies byte by byte for the decoder tests, and an
// observer that records what the window model reports.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "window/window_model.h"
#include "support/scripted_line.h"

namespace korvane::testing {

// A reply as the controller sends it: two header bytes, the letter and the
// payload. The header is never examined; 0x02 and the length stand in.
inline Bytes reply(char letter, std::initializer_list<std::uint8_t> payload) {
  Bytes bytes;
  bytes.reserve(3 + payload.size());
  bytes.push_back(0x02);
  bytes.push_back(static_cast<std::uint8_t>(3 + payload.size()));
  bytes.push_back(static_cast<std::uint8_t>(letter));
  for (std::uint8_t b : payload) bytes.push_back(b);
  return bytes;
}

// A 20-byte reply of `letter` whose payload is zero except for the given
// (position, byte) pairs.
inline Bytes twentyByteReply(char letter, std::initializer_list<std::pair<int, std::uint8_t>> bytesAt = {}) {
  Bytes bytes(20, 0);
  bytes[0] = 0x02;
  bytes[1] = 20;
  bytes[2] = static_cast<std::uint8_t>(letter);
  for (auto [position, value] : bytesAt) bytes[static_cast<std::size_t>(position)] = value;
  return bytes;
}

inline std::uint8_t lowByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }
inline std::uint8_t highByte(int value) { return static_cast<std::uint8_t>((value >> 8) & 0xFF); }

class RecordingObserver : public FieldObserver {
 public:
  void fieldChanged(Field& field, Property property) override { changes.push_back({&field, property}); }
  void repaintNow(Field& field) override { repaints.push_back(&field); }

  bool changed(const Field& field, Property property) const {
    for (const auto& [f, p] : changes) {
      if (f == &field && p == property) return true;
    }
    return false;
  }
  bool repainted(const Field& field) const {
    for (const Field* f : repaints) {
      if (f == &field) return true;
    }
    return false;
  }
  void clear() {
    changes.clear();
    repaints.clear();
  }

  std::vector<std::pair<Field*, Property>> changes;
  std::vector<Field*> repaints;
};

}  // namespace korvane::testing
