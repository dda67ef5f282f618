// A set file of arbitrary bytes: split into the pieces a 24-byte line reader
// returns, each piece recognised and checked, and the whole file put through
// the load. A file with any line that cannot be sent must send nothing and
// name the first such line; any other file must send exactly the frames of
// its recognised lines, in file order.
//
// Input: the contents of the file.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/format_float.h"
#include "fuzz_support.h"
#include "link/command.h"
#include "setfile/set_file_format.h"
#include "setfile/set_file_transfer.h"
#include "support/scripted_line.h"

namespace korvane::fuzzing {
namespace {

using testing::Bytes;
using testing::HeadlessProgram;
using testing::ScriptedLine;

constexpr std::size_t kPieceLength = 23;
constexpr std::size_t kKeyLength = 9;

struct Key {
  std::string_view name;
  char letter;
  std::int64_t maxValue;
};

// The keys as a load tries them, written out here rather than taken from the
// reader, so the two check each other.
constexpr Key kKeys[] = {
    {"FLG_VAL =", 'f', 255},   {"MIN_PRES=", 'p', 65535}, {"NUM_CYLS=", 'k', 255},   {"IGN_CYCS=", 'j', 255},
    {"ONE_SHOT=", 'q', 65535}, {"KILL_RPM=", 'i', 65535}, {"FUEL_MX =", 'm', 65535}, {"CUT_RATE=", 'z', 255},
    {"CUT_TIME=", 't', 255},   {"INH_TIME=", 'u', 255},   {"TRG_REV =", 'k', 255},   {"TRG_INJ =", 'j', 255},
    {"MAP_TYPE=", 'v', 255},
};

void checkPieces(std::string_view contents, const std::vector<std::string>& pieces) {
  std::string joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::string& piece = pieces[i];
    require(!piece.empty() && piece.size() <= kPieceLength, "a piece holds 1 to 23 characters");
    const std::size_t lineEnd = piece.find('\n');
    require(lineEnd == std::string::npos || lineEnd == piece.size() - 1, "a line feed ends its piece");
    const bool last = i + 1 == pieces.size();
    require(last || lineEnd != std::string::npos || piece.size() == kPieceLength,
            "only a full piece or the file's last one goes on without a line feed");
    joined += piece;
  }
  require(joined == contents, "the pieces are the whole file, in order");
}

// The number C's strtod reads at `text`, truncated toward zero and saturated,
// or no value where the file reader deliberately differs (it reads no
// infinities, NaNs or hexadecimal numbers).
std::optional<std::int64_t> referenceNumber(const char* text) {
  const char* at = text;
  while (*at == ' ' || (*at >= '\t' && *at <= '\r')) ++at;
  if (*at == '+' || *at == '-') ++at;
  if (*at == 'i' || *at == 'I' || *at == 'n' || *at == 'N') return std::nullopt;
  if (at[0] == '0' && (at[1] == 'x' || at[1] == 'X')) return std::nullopt;
  const double value = std::strtod(text, nullptr);
  if (value >= 9.2e18) return INT64_MAX;
  if (value <= -9.2e18) return INT64_MIN;
  return static_cast<std::int64_t>(value);
}

void checkParameter(const Key& key, const char* seen, const SetFilePiece& piece) {
  const std::optional<std::int64_t> value = referenceNumber(seen + kKeyLength);
  if (!value) return;
  const bool fits = *value >= 0 && *value <= key.maxValue;
  require(piece.problem.has_value() == !fits, "a parameter is refused exactly when it does not fit");
  if (!fits) return;
  const Command& c = piece.command;
  require(piece.kind == SetFilePiece::Kind::Parameter && c.letter == key.letter, "a parameter line sends its command");
  require(c.value == (key.letter == 'v' ? *value % 4 : *value), "a parameter line sends its value");
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void checkGain(std::string_view seen, const SetFilePiece& piece) {
  const bool shaped =
      seen.size() >= 10 && isDigit(seen[5]) && isDigit(seen[6]) && isDigit(seen[7]) && seen.substr(8, 2) == "]=";
  if (!shaped) {
    require(piece.problem.has_value(), "a gain line without a three-digit index is refused");
    return;
  }
  const int index = (seen[5] - '0') * 100 + (seen[6] - '0') * 10 + (seen[7] - '0');
  const std::optional<std::int64_t> value = referenceNumber(seen.data() + 10);
  if (!value) return;
  const bool fits = index <= 127 && *value >= 0 && *value <= 255;
  require(piece.problem.has_value() == !fits, "a gain line is refused exactly when it does not fit");
  if (!fits) return;
  const Command& c = piece.command;
  require(piece.kind == SetFilePiece::Kind::Gain && c.letter == 'e' && c.cell == index && c.value == *value,
          "a gain line writes its value into its cell");
}

void checkPiece(int number, const std::string& text, const SetFilePiece& piece) {
  require(piece.number == number && piece.text == text, "a piece keeps its number and text");
  const std::string_view seen(text.c_str());  // the reader sees a C string
  if (piece.problem) {
    const std::string refusal = setFileRefusal(piece);
    require(refusal.starts_with("Line " + std::to_string(number) + " of the set file, \"") &&
                refusal.ends_with(". Nothing was sent to the controller."),
            "a refusal names its line and says nothing was sent");
  }
  if (seen.starts_with("MAPM[")) return checkGain(seen, piece);
  for (const Key& key : kKeys) {
    if (seen.starts_with(key.name)) return checkParameter(key, seen.data(), piece);
  }
  require(piece.kind == SetFilePiece::Kind::None && !piece.problem, "a line of no key is skipped");
}

// What the load must do with the file: the first refusal, or the frames.
struct Expected {
  std::optional<std::string> refusal;
  std::vector<Bytes> frames;
};

Expected expectedLoad(const std::vector<SetFilePiece>& pieces) {
  Expected e;
  for (const SetFilePiece& piece : pieces) {
    if (piece.problem) return {setFileRefusal(piece), {}};
    if (piece.kind == SetFilePiece::Kind::None) continue;
    const Frame frame = makeFrame(piece.command);
    e.frames.emplace_back(frame.begin(), frame.end());
  }
  return e;
}

void checkLoad(const std::string& contents, const std::vector<SetFilePiece>& pieces) {
  ScriptedLine line;  // a silent controller
  HeadlessProgram p(line.factory(), true, 1);
  const std::string path = (p.dir.path() / "fuzzed.set").string();
  testing::writeFile(path, contents);
  p.desktop.messages.clear();
  p.desktop.openAnswers.push_back(path);
  Putdataincontroller1Click(*p);

  const Expected e = expectedLoad(pieces);
  const auto& messages = p.desktop.messages;
  require(p.desktop.exceptions.empty(), "a load raises no exception");
  require(line.writtenFrames() == e.frames, "a load sends exactly the frames of its lines, or nothing");
  if (e.refusal) {
    require(messages.size() == 1 && messages[0].text == *e.refusal, "a refused file names its first bad line");
    return;
  }
  const std::string unconfirmed = std::to_string(e.frames.size()) + " command(s) of the set file were not confirmed";
  require(e.frames.empty() ? messages.empty() : messages.size() == 1 && messages[0].text.starts_with(unconfirmed),
          "a silent controller leaves every sent command unconfirmed");
  if (!pieces.empty()) {
    const float progress = static_cast<float>(pieces.size()) * 100.0f * (1.0f / 140.0f);
    require(p.window().stat.text() == "Downloading controller " + FormatFloat("###.0 %", progress),
            "the progress counts every piece against 140");
  }
}

}  // namespace
}  // namespace korvane::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string contents(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> texts = splitSetFilePieces(contents);
  fuzzing::checkPieces(contents, texts);
  std::vector<SetFilePiece> pieces;
  // A refusal names the line of the file (what an editor shows), which a
  // line longer than a piece spreads over several pieces.
  int line = 1;
  for (const std::string& text : texts) {
    pieces.push_back(parseSetFilePiece(line, text));
    fuzzing::checkPiece(line, text, pieces.back());
    if (text.back() == '\n') ++line;
  }
  fuzzing::checkLoad(contents, pieces);
  return 0;
}
