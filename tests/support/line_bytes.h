// Bytes on the line as the tests write them out, byte by byte and apart from
// the program's own encoder and decoder, so the two check each other: the
// byte vector every test uses, command frames, controller replies, and the
// letters of a run of frames.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace korvane::testing {

using Bytes = std::vector<std::uint8_t>;

// A command frame: 0x02, 0x06, the letter and its three parameter bytes.
inline Bytes frame(char letter, std::uint8_t p1 = 0, std::uint8_t p2 = 0, std::uint8_t p3 = 0) {
  return {0x02, 0x06, static_cast<std::uint8_t>(letter), p1, p2, p3};
}

// The two bytes of a 16-bit value, which frames and replies carry low byte
// first.
inline std::uint8_t lowByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }
inline std::uint8_t highByte(int value) { return static_cast<std::uint8_t>((value >> 8) & 0xFF); }

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

// The command letters of `frames`, in order; '?' for one too short to have
// a letter.
inline std::string lettersOf(const std::vector<Bytes>& frames) {
  std::string letters;
  for (const Bytes& f : frames) letters += f.size() > 2 ? static_cast<char>(f[2]) : '?';
  return letters;
}

}  // namespace korvane::testing
