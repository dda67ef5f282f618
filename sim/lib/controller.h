// The emulated controller: it takes the bytes the tool writes, assembles
// command frames, answers each command with the reply of its letter and
// length, encoded here from the controller's reply layouts, and tells when
// each piece of the reply reaches the tool. Fault modes make it misbehave on
// purpose, for tests and for trying the tool.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <set>
#include <span>
#include <vector>

#include "sim/lib/engine_model.h"
#include "sim/lib/frame_assembler.h"
#include "sim/lib/memory.h"

namespace korvane::sim {

using Bytes = std::vector<std::uint8_t>;

enum class Garbage { None, Before, After, Instead };

struct Faults {
  bool silent = false;                  // answers nothing at all
  std::set<int> deadCells;              // 'E' and 'e' for these cell indexes get no answer (and write nothing)
  int lateMs = 0;                       // every reply reaches the tool this much later
  std::optional<int> splitGapMs;        // every reply comes in two halves this far apart
  Garbage garbage = Garbage::None;      // junk before, after or instead of every reply
  Bytes junk;                           // the junk; empty means 1 to 8 random bytes each time
  std::optional<int> dropAfterFrames;   // the line goes down after this many frames
  std::optional<int> floodAfterFrames;  // after this many frames junk pours out without a pause
};

// Bytes that reach the tool at `atMs`, on the same clock as the feed.
struct ReplyChunk {
  long long atMs;
  Bytes bytes;

  friend bool operator==(const ReplyChunk&, const ReplyChunk&) = default;
};

struct ReceivedFrame {
  long long atMs;
  Frame bytes;

  char letter() const { return static_cast<char>(bytes[2]); }
};

// After the last frame it answers, a line that goes down stays up this long,
// so the tool can still read that frame's reply.
constexpr long long kHangUpDelayMs = 250;

// The flood goes out in pieces of this size, each as soon as the line has
// room, so it never pauses for as long as a byte takes.
constexpr std::size_t kFloodChunkBytes = 32;

class Controller {
 public:
  explicit Controller(Memory memory = {}, std::uint32_t junkSeed = 1);

  // Feeds bytes that reached the controller at `nowMs`; returns the reply
  // chunks in the order they reach the tool, each with its arrival time.
  std::vector<ReplyChunk> feed(std::span<const std::uint8_t> bytes, long long nowMs);

  const Memory& memory() const { return memory_; }
  void setMemory(const Memory& memory) { memory_ = memory; }
  const Configuration& configuration() const { return memory_.configuration; }
  void setConfiguration(const Configuration& configuration) { memory_.configuration = configuration; }
  std::uint8_t gain(int index) const { return memory_.gains.at(index); }
  void setGain(int index, std::uint8_t value) { memory_.gains.at(index) = value; }
  void fillGains(std::uint8_t value) { memory_.gains.fill(value); }
  std::uint16_t revision() const { return memory_.revision; }
  void setRevision(std::uint16_t revision) { memory_.revision = revision; }

  Faults& faults() { return faults_; }
  const Faults& faults() const { return faults_; }

  // The live data an 'A' at `nowMs` reports: the engine model, unless held.
  LiveData liveData(long long nowMs) const;
  void holdLiveData(const LiveData& data) { held_ = data; }
  void releaseLiveData() { held_.reset(); }

  // The frames received and answered (or deliberately not answered), in order.
  const std::vector<ReceivedFrame>& frames() const { return frames_; }
  void clearFrames() { frames_.clear(); }

  // The frames that came while the line was going down: never answered and
  // never acted on.
  const std::vector<ReceivedFrame>& ignoredFrames() const { return ignored_; }
  std::size_t discardedBytes() const { return assembler_.discarded(); }

  // When the line goes down, once the frame limit of the dropped-line fault
  // has been reached; from then on nothing passes either way.
  std::optional<long long> hangUpAtMs() const;

  // Whether the flood fault has begun: from the frame limit on, junk is to
  // go out without a pause until the line goes down.
  bool flooding() const;

  // The next piece of the flood, at `nowMs`: the junk bytes repeated, or
  // random bytes.
  ReplyChunk floodChunk(long long nowMs);

 private:
  bool lineExhausted() const;
  std::optional<Bytes> answer(const Frame& frame, long long nowMs);
  Bytes dress(Bytes reply);
  Bytes junk();
  void schedule(Bytes bytes, long long nowMs, std::vector<ReplyChunk>& chunks);

  Memory memory_;
  Faults faults_;
  std::optional<LiveData> held_;
  FrameAssembler assembler_;
  std::vector<ReceivedFrame> frames_;
  std::vector<ReceivedFrame> ignored_;
  std::size_t framesSeen_ = 0;
  long long lineFreeAtMs_ = 0;     // replies leave in order: none overtakes another
  long long lastFrameDoneMs_ = 0;  // when the last reply fed so far has reached the tool
  std::mt19937 random_;
};

// Whether a letter is a command the controller knows.
bool isCommand(char letter);

}  // namespace korvane::sim
