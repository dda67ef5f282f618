// DecodeReply: the tool's only receive path. One read, the activity lamp, and
// the reply recognised by its letter and exact length and applied. The reply
// table (letter -> length -> applier) is data; the appliers live beside it in
// live_data.cpp, config_reply.cpp and echo_replies.cpp.
#pragma once

#include <cstdint>
#include <span>

#include "window/program.h"

namespace korvane {

// The bytes of one read: 0 and 1 are the frame header (never examined), 2 is
// the letter, the payload follows. 16-bit values are low byte first.
class Reply {
 public:
  explicit Reply(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  int length() const { return static_cast<int>(bytes_.size()); }
  char letter() const { return static_cast<char>(bytes_[2]); }
  std::uint8_t byte(int position) const { return bytes_[static_cast<std::size_t>(position)]; }
  std::uint16_t word(int position) const {
    return static_cast<std::uint16_t>(byte(position) | (byte(position + 1) << 8));
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

struct ReplyKind {
  char letter;
  int length;  // the exact total length of the read; any other length is dropped
  void (*apply)(Program&, const Reply&);
};

// The reply kind of `letter`, or nullptr for a letter the tool does not know.
const ReplyKind* findReplyKind(char letter);

// Reads once from ControllerPort (up to 100 bytes, into a buffer of this
// call's own, so a nested call from inside an applier's message box cannot
// disturb it), blinks the activity lamp on any bytes, and applies the reply
// when its letter is known and the read has exactly that letter's length. An
// accepted reply sets ReplyReceived; nothing else ever clears or sets it here.
void DecodeReply(Program& program);

}  // namespace korvane
