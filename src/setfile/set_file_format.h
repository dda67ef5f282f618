// The set file: eleven parameter lines and 128 gain lines of raw controller
// values. The writer produces the text; the reader turns each piece of a file
// into the command it stands for, and checks that every recognised value fits
// what the controller can take before anything is sent.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/controller_settings.h"
#include "link/command.h"

namespace korvane {

struct SetFileKey {
  const char* key;  // nine characters ending in '=', or "MAPM[" for the gain lines
  char letter;      // the command the reader sends
  int maxValue;     // the largest value the key takes
};

// Every key the reader knows, in the order a load tries them.
extern const std::array<SetFileKey, 14> kSetFileKeys;

// Writes the eleven parameter lines from the mirror and the 128 gain lines,
// each line ending in a line feed.
std::vector<std::string> setFileLines(const ControllerSettings& settings, const std::array<std::uint8_t, 128>& gains);

struct SetFilePiece {
  enum class Kind { None, Parameter, Gain };  // what the piece asks for

  int number = 0;    // the line of the file the piece stands on, 1 for the first
  std::string text;  // as read, line end included
  Kind kind = Kind::None;
  Command command{};                   // what a parameter or gain piece sends
  std::optional<std::string> problem;  // why the value cannot be sent, when it cannot
};

// Splits the file's bytes the way a 24-byte line reader does: pieces of at
// most 23 characters, each ending after its line feed when there is one.
std::vector<std::string> splitSetFilePieces(std::string_view contents);

// Recognises one piece of line `number`: the key it starts with, the value
// at the key's fixed position, and whether that value fits.
SetFilePiece parseSetFilePiece(int number, const std::string& text);

// The piece's text as an editor shows the line: up to any zero byte, without
// its line end.
std::string setFileLineText(const SetFilePiece& piece);

// Why `piece` cannot be sent, naming its line by number and text:
// Line 3 of the set file, "TRG_REV = 300", cannot be sent: ...
std::string setFileLineProblem(const SetFilePiece& piece);

// The message that refuses a file because of `piece`.
std::string setFileRefusal(const SetFilePiece& piece);

}  // namespace korvane
