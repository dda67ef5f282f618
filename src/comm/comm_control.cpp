// Starting and stopping communication and the polling timer.
#include "comm/comm_control.h"

#include "comm/full_read.h"
#include "link/command.h"

namespace korvane {
namespace {

constexpr const char* kNoPortSelected = "A Comm port has not yet been specified, cannot begin communications";

void showError(Program& program, const char* text) { program.desktop.messageBox(text, "ERROR"); }

// Closes and reopens the port on the selected number at 19200 baud; a port
// that cannot be opened ends the program, as there is nothing to talk to.
// An Open that failed after the device was opened still holds it, and the
// end of the program releases it.
void reopenPort(Program& program) {
  SerialPort& port = program.ControllerPort;
  port.PortNumber = program.SelectedPort;
  port.BaudRate = 19200;
  port.Close();
  if (!port.Open()) {
    showError(program, "Couldnt open specified COMPORT, aborting");
    endProgram(program, 0);
  }
}

void pollIdentify(Program& program) {
  SendCommand(program, makeCommand('R'));
  ++program.ConnectAttempts;
  if (program.CommState == CommState::Connecting && program.ConnectAttempts >= kConnectPolls) {
    program.CommState = CommState::Idle;
    showError(program, "Failure to connect to attached controller (Non Response)");
    Halt_CommClick(program);
  }
}

}  // namespace

void Begin_CommClick(Program& program) {
  TFrm_Mapping& w = program.Frm_Mapping;
  if (program.SelectedPort == 0) return showError(program, kNoPortSelected);
  program.CommState = CommState::Idle;
  w.Begin_Comm.setEnabled(false);
  w.Halt_Comm.setEnabled(true);
  reopenPort(program);
  w.Gain_Table_Group.setVisible(true);
  w.Gain_Table_Group.repaint();
  program.ConnectAttempts = 0;
  program.CommState = CommState::Connecting;
  w.setHeight(kExpandedHeight);
}

void Halt_CommClick(Program& program) {
  TFrm_Mapping& w = program.Frm_Mapping;
  w.Begin_Comm.setEnabled(true);
  w.Halt_Comm.setEnabled(false);
  program.ControllerPort.Close();
  w.Gain_Table_Group.setVisible(false);
  w.setHeight(kCollapsedHeight);
  if (program.liveDataSink) program.liveDataSink->communicationStopped();
}

void get_data_timerTimer(Program& program) {
  if (program.liveDataSink) program.liveDataSink->timerTick();
  if (!program.ControllerPort.IsOpen || program.controllerBusy > 0) return;
  ControllerBusy busy(program);
  switch (program.CommState) {
    case CommState::Idle:
      program.ConnectAttempts = 0;
      break;
    case CommState::Connecting:
      pollIdentify(program);
      break;
    case CommState::ReadingAll:
      ReadAllFromController(program);
      break;
    case CommState::Monitoring:
      SendCommand(program, makeCommand('A'));
      break;
    case CommState::Uploading:
      break;
  }
}

bool OpenForFileTransfer(Program& program) {
  if (program.SelectedPort == 0) {
    showError(program, kNoPortSelected);
    return false;
  }
  program.CommState = CommState::Idle;
  if (program.liveDataSink) program.liveDataSink->communicationStopped();
  program.Frm_Mapping.Begin_Comm.setEnabled(true);
  program.Frm_Mapping.Halt_Comm.setEnabled(false);
  reopenPort(program);
  return true;
}

}  // namespace korvane
