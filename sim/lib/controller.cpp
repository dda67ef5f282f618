// The command table, the reply encoders and the fault modes.
#include "sim/lib/controller.h"

#include <algorithm>
#include <utility>

namespace korvane::sim {
namespace {

constexpr std::uint8_t kHeader = 0x02;
constexpr std::size_t kRevisionLength = 5;
constexpr std::size_t kConfigurationLength = 20;
constexpr std::size_t kLiveDataLength = 20;
constexpr std::size_t kCellLength = 6;
constexpr std::size_t kEchoHeadLength = 3;  // header, length, letter; the value follows
constexpr std::size_t kMaxRandomJunk = 8;

// Bytes 0 and 1 of every reply: the start byte and the reply's length, as
// the command frames carry theirs.
Bytes makeReply(char letter, std::size_t length) {
  Bytes reply(length, 0);
  reply[0] = kHeader;
  reply[1] = static_cast<std::uint8_t>(length);
  reply[2] = static_cast<std::uint8_t>(letter);
  return reply;
}

void putValue(Bytes& reply, std::size_t offset, unsigned value, int width) {
  for (int i = 0; i < width; ++i) reply.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

unsigned frameWord(const Frame& frame) { return frame[3] | (frame[4] << 8); }

// The gain cell a cell command addresses, or -1 outside the gain range.
int cellIndex(const Frame& frame) {
  const int cell = static_cast<int>(frameWord(frame)) - kGainBaseAddress;
  return cell >= 0 && cell < kGainCount ? cell : -1;
}

Bytes replyRevision(Memory& memory, const Frame&, const LiveData&) {
  Bytes reply = makeReply('R', kRevisionLength);
  putValue(reply, 3, memory.revision, 2);
  return reply;
}

Bytes replyConfiguration(Memory& memory, const Frame&, const LiveData&) {
  Bytes reply = makeReply('C', kConfigurationLength);
  for (const Parameter& p : parameters()) {
    putValue(reply, p.replyOffset, valueOf(memory.configuration, p), p.width);
  }
  return reply;
}

Bytes replyLiveData(Memory&, const Frame&, const LiveData& live) {
  Bytes reply = makeReply('A', kLiveDataLength);
  putValue(reply, 3, live.map, 2);
  putValue(reply, 7, live.rpm, 2);
  putValue(reply, 11, live.pulseWidth, 2);
  return reply;
}

// Addresses outside the gain map read as 0 and cannot be written: the
// emulator holds no other memory.
Bytes replyCell(char letter, const Memory& memory, const Frame& frame) {
  Bytes reply = makeReply(letter, kCellLength);
  const int cell = cellIndex(frame);
  reply[3] = frame[3];
  reply[4] = frame[4];
  reply[5] = cell >= 0 ? memory.gains[cell] : 0;
  return reply;
}

Bytes readCell(Memory& memory, const Frame& frame, const LiveData&) { return replyCell('E', memory, frame); }

Bytes writeCell(Memory& memory, const Frame& frame, const LiveData&) {
  const int cell = cellIndex(frame);
  if (cell >= 0) memory.gains[cell] = frame[5];
  return replyCell('e', memory, frame);
}

// A parameter command stores its value and echoes the value now held.
Bytes writeParameter(Memory& memory, const Parameter& p, const Frame& frame) {
  store(memory.configuration, p, frameWord(frame));
  Bytes reply = makeReply(p.letter, kEchoHeadLength + p.width);
  putValue(reply, kEchoHeadLength, valueOf(memory.configuration, p), p.width);
  return reply;
}

struct Command {
  char letter;
  Bytes (*reply)(Memory& memory, const Frame& frame, const LiveData& live);
};

constexpr Command kCommands[] = {
    {'R', replyRevision}, {'C', replyConfiguration}, {'A', replyLiveData}, {'E', readCell}, {'e', writeCell},
};

const Command* findCommand(char letter) {
  auto it = std::ranges::find(kCommands, letter, &Command::letter);
  return it == std::end(kCommands) ? nullptr : &*it;
}

}  // namespace

bool isCommand(char letter) { return findCommand(letter) || findParameterByLetter(letter); }

Controller::Controller(Memory memory, std::uint32_t junkSeed)
    : memory_(std::move(memory)), assembler_(isCommand), random_(junkSeed) {}

LiveData Controller::liveData(long long nowMs) const { return held_ ? *held_ : engineAt(nowMs, memory_); }

std::vector<ReplyChunk> Controller::feed(std::span<const std::uint8_t> bytes, long long nowMs) {
  std::vector<ReplyChunk> chunks;
  const bool wasExhausted = lineExhausted();
  for (const Frame& frame : assembler_.push(bytes, nowMs)) {
    // Frames after the limit never reach the controller; they are kept
    // apart so that a test can see what the tool sent into the dead line.
    if (lineExhausted()) {
      ignored_.push_back({nowMs, frame});
      continue;
    }
    frames_.push_back({nowMs, frame});
    ++framesSeen_;
    if (faults_.silent) continue;
    if (std::optional<Bytes> reply = answer(frame, nowMs)) schedule(dress(std::move(*reply)), nowMs, chunks);
  }
  // The hang-up counts from the last reply, not from frames sent into the
  // dead line afterwards.
  if (!wasExhausted) lastFrameDoneMs_ = std::max(nowMs, lineFreeAtMs_);
  return chunks;
}

std::optional<long long> Controller::hangUpAtMs() const {
  if (!lineExhausted()) return std::nullopt;
  return lastFrameDoneMs_ + kHangUpDelayMs;
}

bool Controller::flooding() const {
  return faults_.floodAfterFrames && framesSeen_ >= static_cast<std::size_t>(std::max(0, *faults_.floodAfterFrames)) &&
         !lineExhausted();
}

ReplyChunk Controller::floodChunk(long long nowMs) {
  Bytes bytes;
  while (bytes.size() < kFloodChunkBytes) {
    const Bytes more = junk();
    bytes.insert(bytes.end(), more.begin(), more.end());
  }
  bytes.resize(kFloodChunkBytes);
  return {nowMs, std::move(bytes)};
}

bool Controller::lineExhausted() const {
  return faults_.dropAfterFrames && framesSeen_ >= static_cast<std::size_t>(std::max(0, *faults_.dropAfterFrames));
}

std::optional<Bytes> Controller::answer(const Frame& frame, long long nowMs) {
  const char letter = static_cast<char>(frame[2]);
  if ((letter == 'E' || letter == 'e') && faults_.deadCells.contains(cellIndex(frame))) return std::nullopt;
  if (const Command* command = findCommand(letter)) return command->reply(memory_, frame, liveData(nowMs));
  if (const Parameter* parameter = findParameterByLetter(letter)) return writeParameter(memory_, *parameter, frame);
  return std::nullopt;  // the assembler lets only known letters through
}

Bytes Controller::dress(Bytes reply) {
  switch (faults_.garbage) {
    case Garbage::None:
      return reply;
    case Garbage::Before: {
      Bytes out = junk();
      out.insert(out.end(), reply.begin(), reply.end());
      return out;
    }
    case Garbage::After: {
      Bytes extra = junk();
      reply.insert(reply.end(), extra.begin(), extra.end());
      return reply;
    }
    case Garbage::Instead:
      return junk();
  }
  return reply;
}

Bytes Controller::junk() {
  if (!faults_.junk.empty()) return faults_.junk;
  std::uniform_int_distribution<std::size_t> length(1, kMaxRandomJunk);
  std::uniform_int_distribution<int> value(0, 255);
  Bytes bytes(length(random_));
  for (auto& b : bytes) b = static_cast<std::uint8_t>(value(random_));
  return bytes;
}

// Replies leave the controller in order on one line, so a reply is never
// scheduled before the one in front of it.
void Controller::schedule(Bytes bytes, long long nowMs, std::vector<ReplyChunk>& chunks) {
  long long at = std::max(nowMs + faults_.lateMs, lineFreeAtMs_);
  if (faults_.splitGapMs && bytes.size() > 1) {
    const auto half = bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2);
    chunks.push_back({at, Bytes(bytes.begin(), half)});
    at += *faults_.splitGapMs;
    chunks.push_back({at, Bytes(half, bytes.end())});
  } else {
    chunks.push_back({at, std::move(bytes)});
  }
  lineFreeAtMs_ = at;
}

}  // namespace korvane::sim
