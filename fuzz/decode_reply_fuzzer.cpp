// One DecodeReply read of arbitrary bytes, against a program in any state.
// Whatever the line delivers, the program must not crash or wait, must write
// nothing, must show no message but the two a reply can legitimately cause,
// must accept exactly the reads whose letter and length match, and must never
// show a number that is not one.
//
// Input layout (missing bytes read as 0):
//   byte 0      CommState, as its value mod 5
//   byte 1      bit 0: the port is closed
//               bit 1: a configuration reply came first (payload below), so
//                      the MAP span and the full scale are set
//               bit 2: the user's decimal separator is a comma
//               bit 3: the activity lamp is grey
//   byte 2      LastCellValue
//   bytes 3, 4  LastMapCursorOffset, LastRpmCursorOffset (signed)
//   bytes 5-21  bytes 3-19 of that configuration reply
//   byte 22 on  the read itself, at most 100 bytes
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "link/reply_decoder.h"
#include "support/scripted_line.h"

namespace korvane::fuzzing {
namespace {

using testing::Bytes;
using testing::ScriptedProgram;

constexpr std::size_t kConfigurationPayload = 17;
constexpr std::size_t kMostOneRead = 100;

const char* const kInvalidFullScale = "FS RPM value is invalid, and must be changed";
const char* const kInvalidCylinders =
    "An innappropriate value for Number of Cylinders was retrieved, You must correct this.";

struct ReplyLength {
  char letter;
  std::size_t length;
};

// The controller's replies by letter and exact length, written out here
// rather than taken from the decoder, so the two check each other.
constexpr ReplyLength kReplyLengths[] = {
    {'+', 4}, {'-', 6}, {'o', 5}, {'A', 20}, {'R', 5}, {'C', 20}, {'E', 6}, {'e', 6}, {'f', 4}, {'i', 5},
    {'j', 4}, {'k', 4}, {'m', 5}, {'p', 5},  {'q', 5}, {'t', 4},  {'u', 4}, {'v', 4}, {'z', 4},
};

// The letter of the reply the read holds, when it is one.
std::optional<char> acceptedLetter(const Bytes& read) {
  if (read.size() < 3) return std::nullopt;
  const char letter = static_cast<char>(read[2]);
  for (const ReplyLength& kind : kReplyLengths) {
    if (kind.letter == letter && kind.length == read.size()) return letter;
  }
  return std::nullopt;
}

struct Setup {
  CommState state;
  bool portClosed;
  bool configured;
  char separator;
  bool lampGrey;
  std::int32_t lastCellValue;
  std::int32_t lastMapOffset;
  std::int32_t lastRpmOffset;
  Bytes configuration;
  Bytes read;
};

Setup readSetup(InputBytes& input) {
  Setup s;
  s.state = static_cast<CommState>(input.next() % 5);
  const std::uint8_t flags = input.next();
  s.portClosed = (flags & 1) != 0;
  s.configured = (flags & 2) != 0;
  s.separator = (flags & 4) != 0 ? ',' : '.';
  s.lampGrey = (flags & 8) != 0;
  s.lastCellValue = input.next();
  s.lastMapOffset = static_cast<std::int8_t>(input.next());
  s.lastRpmOffset = static_cast<std::int8_t>(input.next());
  s.configuration = {0x02, 20, 'C'};
  for (std::size_t i = 0; i < kConfigurationPayload; ++i) s.configuration.push_back(input.next());
  const auto rest = input.rest();
  s.read.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(std::min(rest.size(), kMostOneRead)));
  return s;
}

void prepare(ScriptedProgram& p, const Setup& s) {
  p->decimalSeparator = s.separator;
  if (s.configured) p.decode(s.configuration);
  p->CommState = s.state;
  p->ControllerSettings.LastCellValue = s.lastCellValue;
  p->LastMapCursorOffset = s.lastMapOffset;
  p->LastRpmCursorOffset = s.lastRpmOffset;
  p.window().heartbeat.setColour(s.lampGrey ? kGrey : kSilver);
  if (s.portClosed) p->ControllerPort.Close();
  p->ReplyReceived = false;  // as every caller leaves it
  p.desktop().messages.clear();
  p.line.clearHistory();
}

void checkMessages(ScriptedProgram& p, std::optional<char> letter) {
  const auto& messages = p.desktop().messages;
  require(messages.size() <= 1, "one read shows at most one message");
  require(p.desktop().exceptions.empty(), "a reply raises no exception");
  for (const auto& m : messages) {
    const bool fullScale = m.text == kInvalidFullScale && (letter == 'C' || letter == 'q');
    const bool cylinders = m.text == kInvalidCylinders && letter == 'k';
    require(fullScale || cylinders, "only the invalid full scale or cylinder count is reported");
    require(m.caption == "ERROR", "the reply messages have the caption ERROR");
  }
}

void checkNoFalseNumbers(ScriptedProgram& p) {
  for (const Field* field : p.window().model.fields()) {
    const std::string& text = field->text();
    require(text != "NAN" && text != "INF" && text != "-INF", "every shown value is a number");
  }
}

void run(const Setup& s) {
  ScriptedProgram p;
  prepare(p, s);
  const long long before = p.desktop().clock.now();
  const bool arrives = !s.portClosed && !s.read.empty();
  const std::optional<char> letter = arrives ? acceptedLetter(s.read) : std::nullopt;

  if (!s.read.empty()) p.line.queue(s.read);
  DecodeReply(*p);

  require(p.line.written().empty(), "decoding never writes to the controller");
  require(p.desktop().clock.now() == before, "decoding never waits");
  const Colour lampBefore = s.lampGrey ? kGrey : kSilver;
  const Colour lampAfter = arrives ? (lampBefore == kSilver ? kGrey : kSilver) : lampBefore;
  require(p.window().heartbeat.colour() == lampAfter, "the lamp blinks exactly on a read that brought bytes");
  require(p->ReplyReceived == letter.has_value(), "a reply is accepted exactly when letter and length match");
  CommState expected = s.state;
  if (letter == 'R') expected = CommState::ReadingAll;
  if (letter == 'C') expected = CommState::Monitoring;
  require(p->CommState == expected, "only an identify or configuration reply moves the state");
  if (letter == 'A') {
    const std::string& rpm = p.window().rpm_dpy.text();
    require(rpm.size() > 4 && rpm.ends_with(" RPM"), "live data shows the engine speed in RPM");
  }
  checkMessages(p, letter);
  checkNoFalseNumbers(p);
}

}  // namespace
}  // namespace korvane::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvane::fuzzing::InputBytes input(data, size);
  korvane::fuzzing::run(korvane::fuzzing::readSetup(input));
  return 0;
}
