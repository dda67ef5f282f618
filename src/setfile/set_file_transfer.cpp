// The two set-file transfers of the File menu.
#include "setfile/set_file_transfer.h"

#include <array>
#include <string>

#include "base/format_float.h"
#include "comm/comm_control.h"
#include "comm/full_read.h"
#include "link/command.h"
#include "link/reply_decoder.h"
#include "setfile/set_file_check.h"
#include "setfile/set_file_format.h"
#include "setfile/set_file_io.h"

namespace korvane {
namespace {

constexpr const char* kCaption = "ERROR!";
constexpr const char* kNoData = "Controller did not respond with requested data";
constexpr int kGainWriteWaitMs = 20;
constexpr int kCells = 128;

void showButtons(TFrm_Mapping& w, bool visible) {
  w.Begin_Comm.setVisible(visible);
  w.Halt_Comm.setVisible(visible);
  w.Begin_Comm.repaint();
  w.Halt_Comm.repaint();
}

void showProgress(Field& stat, const std::string& text) {
  stat.setText(text);
  stat.repaint();
}

void clearMirror(ControllerSettings& s) {
  s.InjInhibitRaw = s.FuelScalerRaw = s.TrigsPerRev = s.TrigsPerInj = s.KillRpmRaw = 0;
  s.MinPressureRaw = s.FlagValue = s.CutRate = s.CutTimeRaw = s.OneShotRaw = s.MapType = 0;
}

// Reads the configuration and every gain; false (after its message) when
// any of them did not come.
bool readController(Program& program, std::array<std::uint8_t, kCells>& gains) {
  clearMirror(program.ControllerSettings);
  program.ReplyReceived = false;
  SendCommand(program, makeCommand('C'));
  DecodeReply(program);  // a configuration that came late is taken here
  if (!program.ReplyReceived) {
    program.desktop.messageBox(kNoData, kCaption);
    return false;
  }
  for (int i = 0; i < kCells; ++i) {
    // A cell that does not answer, or whose answer is for another cell, must
    // not be saved with another cell's value.
    if (!requestGainCell(program, i) || program.LastCellAddress != kFirstGainCellAddress + i) {
      program.desktop.messageBox(kNoData, kCaption);
      return false;
    }
    gains[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(program.ControllerSettings.LastCellValue);
    const float progress = static_cast<float>(i) * 100.0f * 0.0078125f;
    showProgress(program.Frm_Mapping.stat, "Uploading controller " + FormatFloat("###.0 %", progress));
  }
  showProgress(program.Frm_Mapping.stat, "Uploading controller DONE");
  return true;
}

void saveToFile(Program& program, const std::array<std::uint8_t, kCells>& gains) {
  const auto name = program.desktop.saveFileDialog("*.set", "SET");
  if (!name) return;
  const auto error = writeSetFile(*name, setFileLines(program.ControllerSettings, gains));
  if (error) {
    program.desktop.messageBox(
        "The set file " + *name + " could not be written (" + *error + "). No file has been changed.", kCaption);
  }
}

// Every piece of the file, each with its command, or no value (after the
// message naming the first bad line) when any recognised line cannot be sent.
std::optional<std::vector<SetFilePiece>> checkedPieces(Program& program, const std::string& contents) {
  std::vector<SetFilePiece> pieces = checkedSetFilePieces(contents);
  if (const SetFilePiece* refused = firstRefusedPiece(pieces)) {
    program.desktop.messageBox(setFileRefusal(*refused), kCaption);
    return std::nullopt;
  }
  return pieces;
}

// Whether the reply just taken is the controller's echo of this gain write:
// the cell written, holding the value sent. A late echo of the line before
// confirms nothing about this one.
bool gainEchoed(const Program& program, const Command& command) {
  const bool cellReply = program.LastReplyLetter == 'e' || program.LastReplyLetter == 'E';
  return program.ReplyReceived && cellReply && program.LastCellAddress == cellAddress(command) &&
         program.ControllerSettings.LastCellValue == command.value;
}

// Sends one piece's command and reads its echo; false when its own echo did
// not come.
bool sendPiece(Program& program, const SetFilePiece& piece) {
  const Command& command = piece.command;
  if (piece.kind == SetFilePiece::Kind::Parameter) {
    SendCommand(program, command);
    return program.ReplyReceived && program.LastReplyLetter == command.letter;
  }
  // Gain frames are paced by time; reading each echo at once keeps the
  // echoes from piling up in front of a later parameter's echo.
  program.desktop.sleepFrom(WriteFrame(program, command), kGainWriteWaitMs);
  program.ReplyReceived = false;
  DecodeReply(program);
  return gainEchoed(program, command);
}

void sendPieces(Program& program, const std::vector<SetFilePiece>& pieces) {
  int unconfirmed = 0;
  int n = 0;
  for (const SetFilePiece& piece : pieces) {
    if (piece.kind != SetFilePiece::Kind::None && !sendPiece(program, piece)) ++unconfirmed;
    ++n;
    const float progress = static_cast<float>(n) * 100.0f * (1.0f / 140.0f);
    showProgress(program.Frm_Mapping.stat, "Downloading controller " + FormatFloat("###.0 %", progress));
  }
  if (unconfirmed > 0) {
    program.desktop.messageBox(std::to_string(unconfirmed) +
                                   " command(s) of the set file were not confirmed by the controller. "
                                   "Read the controller to check its settings.",
                               kCaption);
  }
}

}  // namespace

void GetDataFromController(Program& program) {
  ControllerBusy busy(program);
  TFrm_Mapping& w = program.Frm_Mapping;
  OpenForFileTransfer(program);
  showButtons(w, false);
  std::array<std::uint8_t, kCells> gains{};
  if (readController(program, gains)) saveToFile(program, gains);
  showButtons(w, true);
}

void Putdataincontroller1Click(Program& program) {
  ControllerBusy busy(program);
  TFrm_Mapping& w = program.Frm_Mapping;
  Halt_CommClick(program);
  w.Halt_Comm.repaint();
  showButtons(w, false);
  const auto name = program.desktop.openFileDialog("*.set", "SET");
  const auto contents = name ? readSetFile(*name) : std::nullopt;
  if (name && !contents) program.desktop.messageBox("File does not exist", kCaption);
  const auto pieces = contents ? checkedPieces(program, *contents) : std::nullopt;
  if (pieces && OpenForFileTransfer(program)) sendPieces(program, *pieces);
  showButtons(w, true);
}

}  // namespace korvane
