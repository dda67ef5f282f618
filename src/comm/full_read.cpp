// The full read of the controller.
#include "comm/full_read.h"

#include "link/command.h"
#include "link/reply_decoder.h"

namespace korvane {
namespace {

constexpr const char* kNoResponse = "No response from the controller unit";

void blankAndMark(Field& field) {
  field.setText("");
  field.setColour(kYellow);
}

void blankWindow(TFrm_Mapping& w) {
  for (Field* field : {&w.Fuel_b, &w.Fuel_mx, &w.Num_Cyls, &w.Ign_Cycles, &w.Min_Pressure, &w.FS_RPM, &w.max_rpm,
                       &w.Rate_Cut, &w.Fuel_Cut_Time, &w.Inj_Inhibit}) {
    blankAndMark(*field);
  }
  // With every button clear, the configuration reply's choice is always a
  // change, so the range is marked for the next upload.
  for (Field* radio : {&w.Pulse_Mode_0, &w.Pulse_Mode_1, &w.map_type_1, &w.map_type_2, &w.map_type_3}) {
    radio->setChecked(false);
  }
  for (auto& cell : w.GainCells) blankAndMark(*cell);
}

}  // namespace

bool requestGainCell(Program& program, int index) {
  program.desktop.sleepFrom(WriteFrame(program, readGainCellCommand(index)), kCellRequestWaitMs);
  program.ReplyReceived = false;
  DecodeReply(program);
  return program.ReplyReceived;
}

void ReadAllFromController(Program& program) {
  TFrm_Mapping& w = program.Frm_Mapping;
  blankWindow(w);
  w.Gain_Table_Group.repaint();

  SendCommand(program, makeCommand('C'));
  if (!program.ReplyReceived) {
    program.desktop.messageBox(kNoResponse, "ERROR");
    return;  // still ReadingAll: the next tick reads again from the start
  }
  for (int i = 0; i < static_cast<int>(w.GainCells.size()); ++i) {
    if (!requestGainCell(program, i)) {
      program.desktop.messageBox(kNoResponse, "ERROR");
      return;
    }
  }
}

}  // namespace korvane
