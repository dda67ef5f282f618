// The protocol's own time for each timed operation.
#include "nominal.h"

#include <algorithm>

namespace korvane::bench {
namespace {

constexpr int kFrameBytes = 6;
constexpr int kCellReplyBytes = 6;
constexpr int kCells = 128;
constexpr double kExchangeWaitMs = 125;
constexpr double kCellRequestWaitMs = 25;
constexpr double kGainWriteWaitMs = 20;
constexpr double kReadIntervalMs = 5;
constexpr double kReadTotalConstantMs = 5;
constexpr double kReadTotalPerByteMs = 1;
constexpr int kReadBlockBytes = 100;
constexpr double kFirstTickMs = 100;  // the timer's interval, counted from the click
constexpr double kUploadLeadMs = 200;

// The replies to the eleven parameter lines of a saved file, in file order:
// 'f', 'p', 'k', 'j', 'q', 'i', 'm', 'z', 't', 'u', 'v'.
constexpr int kParameterEchoBytes[] = {4, 5, 4, 4, 5, 5, 5, 4, 4, 4, 4};

}  // namespace

void NominalTime::wait(double ms) {
  waitsMs_ += ms;
  ++blockingWaits_;
}

void NominalTime::frameAndReply(double waitMs, int replyBytes) {
  const double wire = (kFrameBytes + replyBytes) * kByteMs;
  waitsMs_ += waitMs;
  wireMs_ += wire;
  wireOutsideMs_ += std::max(0.0, wire - waitMs);
  readTimeoutsMs_ += kReadIntervalMs;
  blockingWaits_ += 2;
}

void NominalTime::exchange(int replyBytes) { frameAndReply(kExchangeWaitMs, replyBytes); }

void NominalTime::cellRead() { frameAndReply(kCellRequestWaitMs, kCellReplyBytes); }

void NominalTime::gainWrite() { frameAndReply(kGainWriteWaitMs, kCellReplyBytes); }

void NominalTime::emptyRead(int bytesAsked) {
  readTimeoutsMs_ += kReadTotalConstantMs + kReadTotalPerByteMs * bytesAsked;
  ++blockingWaits_;
}

NominalTime connectAndFullRead() {
  NominalTime t;
  t.wait(kFirstTickMs);  // Open and its drain happen within it
  t.exchange(5);         // 'R'
  t.exchange(20);        // 'C'
  for (int i = 0; i < kCells; ++i) t.cellRead();
  return t;
}

NominalTime uploadOfAllCells() {
  NominalTime t;
  t.wait(kUploadLeadMs);
  for (int i = 0; i < kCells; ++i) t.exchange(kCellReplyBytes);
  return t;
}

NominalTime saveToSetFile() {
  NominalTime t;
  t.emptyRead(1);  // the drain of Open
  t.exchange(20);  // 'C'
  t.emptyRead(kReadBlockBytes);
  for (int i = 0; i < kCells; ++i) t.cellRead();
  return t;
}

NominalTime loadOfSetFile() {
  NominalTime t;
  t.emptyRead(1);
  for (int bytes : kParameterEchoBytes) t.exchange(bytes);
  for (int i = 0; i < kCells; ++i) t.gainWrite();
  return t;
}

}  // namespace korvane::bench
