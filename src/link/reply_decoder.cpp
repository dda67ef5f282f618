// The reply table and the single read that feeds it.
#include "link/reply_decoder.h"

#include <array>

#include "link/reply_appliers.h"

namespace korvane {
namespace {

constexpr int kLetterPosition = 2;

constexpr ReplyKind kReplies[] = {
    {'+', 4, applyAcknowledgement}, {'-', 6, applyAcknowledgement}, {'o', 5, applyAcknowledgement},
    {'A', 20, applyLiveData},       {'R', 5, applyRevision},        {'C', 20, applyConfiguration},
    {'E', 6, applyGainCell},        {'e', 6, applyGainCell},        {'f', 4, applyPulseModeEcho},
    {'i', 5, applyRevLimiterEcho},  {'j', 4, applyTrigsPerInjEcho}, {'k', 4, applyTrigsPerRevEcho},
    {'m', 5, applyFuelScalerEcho},  {'p', 5, applyMinPressureEcho}, {'q', 5, applyOneShotEcho},
    {'t', 4, applyCutTimeEcho},     {'u', 4, applyInhibitTimeEcho}, {'v', 4, applyMapTypeEcho},
    {'z', 4, applyRateCutEcho},
};

// The lamp shows the user that bytes arrive, whether or not they make sense.
void blinkActivityLamp(TFrm_Mapping& w) {
  w.heartbeat.setColour(w.heartbeat.colour() == kSilver ? kGrey : kSilver);
  w.heartbeat.repaint();
}

}  // namespace

const ReplyKind* findReplyKind(char letter) {
  for (const ReplyKind& kind : kReplies) {
    if (kind.letter == letter) return &kind;
  }
  return nullptr;
}

void DecodeReply(Program& program) {
  std::array<std::uint8_t, kReadBlockSize> buffer{};
  std::int32_t count = 0;
  program.ControllerPort.ReadBlock(buffer.data(), count);  // the count tells all; the result is redundant
  if (count <= 0) return;
  blinkActivityLamp(program.Frm_Mapping);
  if (count <= kLetterPosition) return;

  // There is no checksum: the letter and the exact length of the read are the
  // only evidence that these bytes are one whole reply.
  const ReplyKind* kind = findReplyKind(static_cast<char>(buffer[kLetterPosition]));
  if (kind == nullptr || kind->length != count) return;
  program.LastReplyLetter = kind->letter;
  kind->apply(program, Reply(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(count))));
}

}  // namespace korvane
